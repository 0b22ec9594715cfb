// Attack and check tests. A square counts as attacked by a colour when one of that colour's
// pseudo-legal moves lands on it; the tests here answer exactly as generating those moves would
// (the generator-based definition lives with the reference code), without generating any.
#pragma once

#include "engine/position.h"

// Returns true when some pseudo-legal move of colour `by` ends on `square`. Besides captures,
// this counts an empty square that an enemy pawn could step or double-step onto, the en-passant
// square when an enemy pawn can capture there, and the king's destination of an enemy castling
// move allowed by the rights alone; an empty square covered only by an enemy pawn's diagonal does
// not count, since pawns capture only onto pieces.
bool IsAttacked(int square, int by);

// Returns true when the king of `colour` stands on a square attacked by the other colour; false
// when that colour has no king.
bool InCheck(int colour);

// Returns true when square is the king's destination of a castling that `by` still has the right
// to: such a square counts as attacked by `by`, whatever stands on it.
bool IsCastlingDestination(int square, int by);

// Returns true when a pawn of `by` stands diagonally behind square (seen from that pawn's side):
// it would capture there if a piece stood on it.
bool CoveredByPawn(int square, int by);

// Returns true when a piece of type `type` of colour `by` standing on `from` attacks `target`
// (for a slider, along a line clear up to target).
bool PieceAttacks(int type, int by, int from, int target);

// Returns true when `vacated` lies on a line (rank, file or diagonal) from `king` and the first
// piece beyond it, seen from the king, is a bishop, rook or queen of `by` that moves along that
// line: the attack a move from `vacated` can uncover.
bool UncoversAttack(int king, int vacated, int by);

// Called right after `move` was made from a legal position: returns InCheck(pos.side), whether
// the move put the side now to move in check, looking only at what the move changed.
bool GivesCheck(Move move);
