// The plain search: the alpha-beta search in its simplest form, trying moves in generation order,
// deciding legality with the generator-based attack tests, scoring leaves by summing the board
// and undoing each move by writing back saved fields. Slow: it is the yardstick the game's search
// is checked against. Both return the same score and leave the same bestMove.
#pragma once

// Same contract as Search.
int PlainSearch(int alpha, int beta, int depth);
