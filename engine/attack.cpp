// Attack and check tests.
#include "engine/attack.h"

#include <cassert>

#include "engine/geometry.h"

namespace {

constexpr const std::int32_t (&KNIGHT_JUMPS)[9] = DIRECTIONS[KNIGHT];

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

bool IsCastlingDestination(int square, int by) {
  for (const Castling& castling : CASTLINGS)
    if (castling.colour == by && pos.castleRights & castling.right && square == castling.kingTo)
      return true;
  return false;
}

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
  int code = pos.board[FirstSquareFrom(king, d)];
  return IsPieceOf(code, by) && SlidesAlong(TypeOf(code), d);
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
  if (IsCastlingDestination(square, by)) return true;
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
