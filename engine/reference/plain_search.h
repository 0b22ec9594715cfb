// The plain search: the alpha-beta search in its simplest form, trying moves in generation order,
// deciding legality with the generator-based attack tests, scoring leaves by summing the board
// and undoing each move by writing back saved fields. Slow: it is the yardstick the game's search
// is checked against. Both return the same score and choose the same move.
#pragma once

#include "engine/search.h"

// Same contract as Search, but for the poll and bestMove, which it leaves alone. Its node count
// includes the leaves.
SearchResult PlainSearch(int alpha, int beta, int depth);
