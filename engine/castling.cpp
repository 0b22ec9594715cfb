// The castling rule.
#include "engine/castling.h"

#include <cassert>

bool standardRules = false;

bool CastlingAllowed(const Castling& castling, bool (*isAttacked)(int square, int by)) {
  int opponent = castling.colour ^ BLACK;
  assert(pos.board[castling.kingFrom] == (castling.colour | KING));
  for (int i = 0; i < castling.emptyCount; ++i)
    if (pos.board[castling.empty[i]] != EMPTY) return false;
  return !isAttacked(castling.kingFrom, opponent) && CastlingSquaresSafe(castling, isAttacked);
}
