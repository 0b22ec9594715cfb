// Evaluation by material alone (the piece values stand with the piece codes in position.h).
#pragma once

#include "engine/position.h"

// Returns the material balance from the side to move's point of view: white's piece values less
// black's, negated when black is to move. The kings cancel.
int Evaluate();

// Returns what a move adds to the mover's material: the captured piece, and for a promotion the
// new piece less the pawn.
inline int MaterialGain(Move move) {
  int flags = MoveFlags(move);
  int victim = flags & MF_EN_PASSANT ? PAWN : TypeOf(pos.board[MoveTo(move)]);
  int gain = PIECE_VALUE[victim];
  if (flags & MF_PROMOTION)
    gain += PIECE_VALUE[MovePromotion(move) & TYPE_MASK] - PIECE_VALUE[PAWN];
  return gain;
}
