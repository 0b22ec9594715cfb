// The check record.
#include "engine/check_record.h"

#include <cassert>

#include "engine/castling.h"

void FindMoverKing(CheckRecord& record) {
  int mover = pos.side, enemy = mover ^ BLACK;
  const std::uint64_t* p = pos.pieces;
  MoverKing& king = record.mover;
  int square = pos.kingSquare[ColourIndex(mover)], bit = SquareBit(square);
  assert(square != NO_SQUARE);
  const std::uint64_t own = pos.occupied[ColourIndex(mover)];
  FindKingLines(king.lines, bit, own, own | pos.occupied[ColourIndex(enemy)],
                p[enemy | BISHOP] | p[enemy | QUEEN], p[enemy | ROOK] | p[enemy | QUEEN]);
  std::uint64_t checkers = king.lines.checkers |
                           (BIT_MASKS.pawnCapture[ColourIndex(mover)][bit] & p[enemy | PAWN]) |
                           (BIT_MASKS.knight[bit] & p[enemy | KNIGHT]);
  king.evasions = ~0ull;
  if (checkers) king.evasions = checkers & (checkers - 1) ? 0 : checkers | king.lines.checkLine;
  king.claimed = CastlingClaims(enemy);
  if (king.claimed & 1ull << bit) {
    std::uint64_t rook = SquareMask(FindCastling(square)->rookFrom);
    checkers |= rook;
    king.evasions &= rook;
  }
  king.checkers = checkers;
  record.moverFound = true;
}

void FindEnemyKing(CheckRecord& record) {
  int mover = pos.side, enemy = mover ^ BLACK;
  EnemyKing& king = record.enemy;
  king.square = pos.kingSquare[ColourIndex(enemy)];
  assert(king.square != NO_SQUARE);
  int bit = SquareBit(king.square);
  const std::uint64_t own = pos.occupied[ColourIndex(mover)];
  const std::uint64_t occupied = own | pos.occupied[ColourIndex(enemy)];
  const std::uint64_t* p = pos.pieces;
  FindKingLines(king.lines, bit, occupied ^ own, occupied, p[mover | BISHOP] | p[mover | QUEEN],
                p[mover | ROOK] | p[mover | QUEEN]);
  assert(!king.lines.checkers);  // the side not to move is never in check
  king.uncovering = king.lines.blockers & own;
  // A pawn checks from where an enemy pawn on the king's square would capture; a slider from each
  // empty square up to the first piece along a line, and from that piece's square once it takes it.
  std::uint64_t* byType = king.checkSquares;
  byType[PAWN] = BIT_MASKS.pawnCapture[ColourIndex(enemy)][bit];
  byType[KNIGHT] = BIT_MASKS.knight[bit];
  byType[BISHOP] = SlideDiagonally(bit, occupied);
  byType[ROOK] = SlideStraight(bit, occupied);
  byType[QUEEN] = byType[BISHOP] | byType[ROOK];
  byType[EMPTY] = byType[KING] = byType[OFFBOARD] = 0;
  record.enemyFound = true;
}

bool IsEnPassantLegal(int from, int to, const MoverKing& king, const Army& enemy) {
  if (king.claimed & 1ull << king.lines.king) return false;
  int victim = Behind(to, pos.side);
  std::uint64_t occupied = pos.occupied[0] | pos.occupied[1];
  occupied ^= SquareMask(from) | SquareMask(to) | SquareMask(victim);
  Army army = enemy;
  army.pawns &= ~SquareMask(victim);
  return !IsBitAttacked(king.lines.king, occupied, army, ColourIndex(pos.side));
}

bool SpecialMoveGivesCheck(int king, Move move) {
  int mover = pos.side, from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  std::uint64_t occupied =
      ((pos.occupied[0] | pos.occupied[1]) & ~SquareMask(from)) | SquareMask(to);
  // Nothing of the mover's gives check before the move, so the pawn or king that moves may be
  // left in the army where it stood.
  Army army = ArmyOf(mover);
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    std::uint64_t rook = SquareMask(castling.rookFrom) | SquareMask(castling.rookTo);
    occupied ^= rook;
    army.straight ^= rook;
  } else if (flags & MF_EN_PASSANT) {
    occupied &= ~SquareMask(Behind(to, mover));
    army.pawns |= SquareMask(to);
  } else {
    int type = MovePromotion(move) & TYPE_MASK;
    if (type == KNIGHT) army.knights |= SquareMask(to);
    if (type == BISHOP || type == QUEEN) army.diagonal |= SquareMask(to);
    if (type == ROOK || type == QUEEN) army.straight |= SquareMask(to);
  }
  return IsBitAttacked(king, occupied, army, ColourIndex(mover ^ BLACK));
}
