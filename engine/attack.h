// Attack and check tests. A square counts as attacked by a colour when one of that colour's
// pseudo-legal moves lands on it; the tests here answer exactly as generating those moves would
// (the generator-based definition lives with the reference code), without generating any.
#pragma once

#include "engine/bitboards.h"
#include "engine/position.h"

// The pieces of one side, as sets.
struct Army {
  std::uint64_t pawns, knights, diagonal, straight, king;  // diagonal: bishops and queens
};

// Returns the pieces of `colour` as an army.
inline Army ArmyOf(int colour) {
  const std::uint64_t* p = pos.pieces;
  return {p[colour | PAWN], p[colour | KNIGHT], p[colour | BISHOP] | p[colour | QUEEN],
          p[colour | ROOK] | p[colour | QUEEN], p[colour | KING]};
}

// Returns true when a knight, bishop, rook, queen or king of army reaches square `bit`.
inline bool IsReachedByPiece(int bit, std::uint64_t occupied, const Army& army) {
  if ((BIT_MASKS.knight[bit] & army.knights) || (BIT_MASKS.king[bit] & army.king)) return true;
  return ((BIT_MASKS.diagonal[bit] & army.diagonal) &&
          (SlideDiagonally(bit, occupied) & army.diagonal)) ||
         ((BIT_MASKS.straight[bit] & army.straight) &&
          (SlideStraight(bit, occupied) & army.straight));
}

// Returns true when a piece of army attacks the occupied square `bit`, the square of a piece of
// the colour with index `defender`: the army's pawns that attack it stand where a pawn of that
// colour on `bit` would capture.
inline bool IsBitAttacked(int bit, std::uint64_t occupied, const Army& army, int defender) {
  return (BIT_MASKS.pawnCapture[defender][bit] & army.pawns) ||
         IsReachedByPiece(bit, occupied, army);
}

// Returns true when some pseudo-legal move of colour `by` ends on `square`. Besides captures,
// this counts an empty square that an enemy pawn could step or double-step onto, the en-passant
// square when an enemy pawn can capture there, and the king's destination of an enemy castling
// move allowed by the rights alone; an empty square covered only by an enemy pawn's diagonal does
// not count, since pawns capture only onto pieces.
bool IsAttacked(int square, int by);

// Returns true when the king of `colour` stands on a square attacked by the other colour; false
// when that colour has no king.
bool InCheck(int colour);

// Returns true when a pawn of `by` stands diagonally behind square (seen from that pawn's side):
// it would capture there if a piece stood on it.
bool CoveredByPawn(int square, int by);
