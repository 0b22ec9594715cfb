// The search's shortcuts: what it asks about a move or a position without making any move. Each
// answers exactly as making the move (MakeMove and the check test) would, or errs only on the
// side of "make it and see".
#pragma once

#include <cstdint>

#include "engine/position.h"

// Returns true when a piece of `colour` other than the king has a move that cannot expose its
// king: enough to show that a side that is not in check has a legal move, without making one.
bool HasUnpinnedMove(int colour);

// What a move does that is neither castling, en passant nor a promotion, in a position whose side
// to move is not in check, found without making it: whether it is legal, whether it gives check,
// and, when askMobility is set, whether the opponent surely keeps a legal move.
enum MoveKind { MOVE_ILLEGAL, MOVE_CHECKING, MOVE_QUIET, MOVE_QUIET_OPPONENT_MOBILE };
MoveKind ClassifyMove(Move move, bool askMobility);
