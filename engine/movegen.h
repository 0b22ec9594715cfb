// The pseudo-legal move generator: every move of the side to move that obeys how its piece moves,
// without asking whether the mover's king is left attacked. Castling is offered on the rights
// alone; MakeMove makes the remaining checks.
#pragma once

#include "engine/position.h"

// Fills list with the pseudo-legal moves of pos.side in the fixed order: pieces by ascending
// square, each piece in its own order (pawns: capture toward file a, toward file h, step,
// double step; other pieces: their direction table, outward along each ray), then castling
// king-side before queen-side, then en passant. The search keeps the first of equally good
// moves, so this order decides which move is played.
void GenerateMoves(MoveList& list);
