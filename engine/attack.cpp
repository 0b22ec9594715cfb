// Attack and check tests.
#include "engine/attack.h"

#include "engine/bitboards.h"
#include "engine/castling.h"
#include "engine/geometry.h"

bool CoveredByPawn(int square, int by) {
  int back = -Forward(by);  // from the square toward the pawns that reach it
  return pos.board[square + back + WEST] == (by | PAWN) ||
         pos.board[square + back + EAST] == (by | PAWN);
}

bool UncoversAttack(int king, int vacated, int by) {
  int d = LINE_STEP.step[king][vacated];
  if (d == 0) return false;
  int s = king + d;
  while (pos.board[s] == EMPTY || s == vacated) s += d;
  return IsPieceOf(pos.board[s], by) && SlidesAlong(TypeOf(pos.board[s]), d);
}

bool IsAttacked(int square, int by) {
  const int* b = pos.board;
  if (CastlingClaims(by) & SquareMask(square)) return true;
  if (square == pos.epSquare && CoveredByPawn(square, by)) return true;

  int code = b[square];
  if (code == OFFBOARD) return false;
  int pawn = by | PAWN, back = -Forward(by);  // from the square toward the pawns that reach it
  if (code == EMPTY) {
    // Pawns move straight onto empty squares only: a step, or a double step from the start rank.
    if (b[square + back] == pawn) return true;
    int start = square + 2 * back;
    if (b[square + back] == EMPTY && b[start] == pawn && OnPawnStartRank(start, by)) return true;
  } else {
    // Nothing but castling and en passant lands on a piece of one's own.
    if (ColourOf(code) == by) return false;
    // Pawns capture diagonally onto pieces only.
    if (CoveredByPawn(square, by)) return true;
  }
  return IsReachedByPiece(SquareBit(square), pos.occupied[0] | pos.occupied[1], ArmyOf(by));
}

bool InCheck(int colour) {
  int king = pos.kingSquare[ColourIndex(colour)];
  return king != NO_SQUARE && IsAttacked(king, colour ^ BLACK);
}

void FindCheckSquares(CheckSquares& checks) {
  int mover = pos.side;
  int king = pos.kingSquare[ColourIndex(mover ^ BLACK)];
  checks = {.king = king, .byType = {}, .uncovering = 0};
  if (king == NO_SQUARE) return;
  std::uint64_t* byType = checks.byType;
  const std::uint64_t own = pos.occupied[ColourIndex(mover)];
  const std::uint64_t occupied = own | pos.occupied[ColourIndex(mover ^ BLACK)];
  int bit = SquareBit(king);
  // A pawn checks from where an enemy pawn on the king's square would capture; a slider from each
  // empty square up to the first piece along a line, and from that piece's square once it takes it.
  byType[PAWN] = BIT_MASKS.pawnCapture[ColourIndex(mover ^ BLACK)][bit];
  byType[KNIGHT] = BIT_MASKS.knight[bit];
  byType[BISHOP] = SlideDiagonally(bit, occupied);
  byType[ROOK] = SlideStraight(bit, occupied);
  byType[QUEEN] = byType[BISHOP] | byType[ROOK];
  // A mover's piece first on a line uncovers an attack when, with it gone, the line reaches a
  // mover's slider along it (none reaches the king now: the enemy is not in check).
  const Army army = ArmyOf(mover);
  std::uint64_t lines = (BIT_MASKS.diagonal[bit] & army.diagonal ? byType[BISHOP] : 0) |
                        (BIT_MASKS.straight[bit] & army.straight ? byType[ROOK] : 0);
  for (std::uint64_t set = own & lines; set; set &= set - 1) {
    std::uint64_t piece = set & (0 - set), without = occupied & ~piece;
    if ((piece & byType[BISHOP] && SlideDiagonally(bit, without) & army.diagonal) ||
        (piece & byType[ROOK] && SlideStraight(bit, without) & army.straight))
      checks.uncovering |= piece;
  }
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
