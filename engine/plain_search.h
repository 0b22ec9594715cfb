// The plain search: the alpha-beta search exactly as first designed, trying moves in generation
// order, deciding legality with the generator-based attack tests, scoring leaves by summing the
// board and undoing each move by writing back saved fields. Slow, and kept as the reference that
// the game's search is checked against: both return the same score and leave the same bestMove.
#pragma once

// Same contract as Search.
int PlainSearch(int alpha, int beta, int depth);
