// Attack and check tests.
#include "engine/attack.h"

#include "engine/bitboards.h"
#include "engine/castling.h"

bool CoveredByPawn(int square, int by) {
  int back = -Forward(by);  // from the square toward the pawns that reach it
  return pos.board[square + back + WEST] == (by | PAWN) ||
         pos.board[square + back + EAST] == (by | PAWN);
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
