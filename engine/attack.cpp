// Attack and check tests.
#include "engine/attack.h"

#include <cassert>
#include <initializer_list>

#include "engine/geometry.h"

namespace {

// True when a piece of `by` other than a pawn reaches square by a step or an unobstructed slide.
bool ReachedByPiece(int square, int by) {
  const int* b = pos.board;
  // The masks skip whatever no piece of `by` could come from.
  std::uint64_t theirs = pos.occupied[ColourIndex(by)];
  if (REACH.king[square] & theirs)
    for (int i = 0; i < LINE_COUNT; ++i)
      if (b[square + LINES[i]] == (by | KING)) return true;
  if (REACH.knight[square] & theirs)
    for (int i = 0; i < LINE_COUNT; ++i)
      if (b[square + KNIGHT_JUMPS[i]] == (by | KNIGHT)) return true;
  // Looking outward from the square, the first piece on each line is the only one that can
  // reach it along that line.
  std::uint64_t everyone = theirs | pos.occupied[ColourIndex(by ^ BLACK)];
  for (int i = 0; i < LINE_COUNT; ++i) {
    if (!(REACH.ray[square][i] & theirs)) continue;
    int s = FirstOnLine(square, i, everyone);
    if (s != NO_SQUARE && ColourOf(b[s]) == by && SlidesAlong(TypeOf(b[s]), LINES[i])) return true;
  }
  return false;
}

}  // namespace

bool CoveredByPawn(int square, int by) {
  int back = -Forward(by);  // from the square toward the pawns that reach it
  return pos.board[square + back + WEST] == (by | PAWN) ||
         pos.board[square + back + EAST] == (by | PAWN);
}

bool PieceAttacks(int type, int by, int from, int target) {
  int d = LINE_STEP.step[from][target];
  switch (type) {
    case PAWN:
      return target == from + Forward(by) + WEST || target == from + Forward(by) + EAST;
    case KNIGHT:
      for (int i = 0; i < LINE_COUNT; ++i)
        if (target == from + KNIGHT_JUMPS[i]) return true;
      return false;
    case KING:
      return d != 0 && target == from + d;
    default:
      return d != 0 && SlidesAlong(type, d) && FirstSquareFrom(from, d) == target;
  }
}

bool UncoversAttack(int king, int vacated, int by) {
  int d = LINE_STEP.step[king][vacated];
  if (d == 0) return false;
  int s = king + d;
  while (pos.board[s] == EMPTY || s == vacated) s += d;
  return IsPieceOf(pos.board[s], by) && SlidesAlong(TypeOf(pos.board[s]), d);
}

bool GivesCheck(Move move) {
  int flags = MoveFlags(move);
  if (flags & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION)) return InCheck(pos.side);
  int king = pos.kingSquare[ColourIndex(pos.side)];
  if (king == NO_SQUARE) return false;
  // Before the move the side now to move was not in check, and no castling right or en-passant
  // square can put it there: only the moved piece, or a line it opened, can attack its king.
  int mover = pos.side ^ BLACK, to = MoveTo(move);
  bool check = PieceAttacks(TypeOf(pos.board[to]), mover, to, king) ||
               UncoversAttack(king, MoveFrom(move), mover);
  assert(check == InCheck(pos.side));
  return check;
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
  return ReachedByPiece(square, by);
}

bool InCheck(int colour) {
  int king = pos.kingSquare[ColourIndex(colour)];
  return king != NO_SQUARE && IsAttacked(king, colour ^ BLACK);
}

void FindCheckSquares(CheckSquares& checks) {
  const int* b = pos.board;
  int mover = pos.side;
  int king = pos.kingSquare[ColourIndex(mover ^ BLACK)];
  checks = {.king = king, .byType = {}, .uncovering = 0};
  if (king == NO_SQUARE) return;
  std::uint64_t* byType = checks.byType;
  int back = -Forward(mover);  // from the king toward the pawns that would attack it
  for (int s : {king + back + WEST, king + back + EAST})
    if (b[s] != OFFBOARD) byType[PAWN] |= SquareMask(s);
  byType[KNIGHT] = REACH.knight[king];
  for (int i = 0; i < LINE_COUNT; ++i) {
    int d = LINES[i], s = king + d;
    // A slider checks from each empty square up to the first piece, and from that piece's square
    // once it captures it.
    for (; b[s] == EMPTY; s += d) byType[IsDiagonal(d) ? BISHOP : ROOK] |= SquareMask(s);
    if (b[s] != OFFBOARD) byType[IsDiagonal(d) ? BISHOP : ROOK] |= SquareMask(s);
    // If the first piece is the mover's (then it cannot be a slider along the line: the enemy
    // would be in check) and the next is a mover's slider along the line, moving the first piece
    // off the line uncovers an attack.
    if (!IsPieceOf(b[s], mover)) continue;
    int behind = b[FirstSquareFrom(s, d)];
    if (IsPieceOf(behind, mover) && SlidesAlong(TypeOf(behind), d))
      checks.uncovering |= SquareMask(s);
  }
  byType[QUEEN] = byType[BISHOP] | byType[ROOK];
}

bool MoveGivesCheck(const CheckSquares& checks, Move move) {
  int king = checks.king;
  if (king == NO_SQUARE) return false;
  int from = MoveFrom(move), to = MoveTo(move);
  // Squares on one line from the king lie on no other line from it, so a path from `to` to the
  // king never crosses `from` unless both lie on one line from the king, where a piece of the
  // mover's would already stand between or give check. A capture only takes a piece off the
  // square the mover then stands on, so it opens no line either.
  if (checks.uncovering & SquareMask(from) &&
      LINE_STEP.step[king][to] != LINE_STEP.step[king][from])
    return true;
  return checks.byType[TypeOf(pos.board[from])] & SquareMask(to);
}
