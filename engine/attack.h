// Attack and check tests. A square counts as attacked by a colour when one of that colour's
// pseudo-legal moves lands on it; the tests here answer exactly as generating those moves would
// (the generator-based definition lives with the reference code), without generating any.
#pragma once

#include "engine/bitboards.h"
#include "engine/geometry.h"
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

// Returns true when `vacated` lies on a line (rank, file or diagonal) from `king` and, with
// `vacated` empty, the first piece from the king along that line is a bishop, rook or queen of
// `by` that moves along it: the attack a move from `vacated` can uncover. Whether the piece still
// stands on `vacated` or has left it makes no difference.
bool UncoversAttack(int king, int vacated, int by);

// For telling without making them which moves of the side to move give check: by piece type, the
// squares (as bits) from which such a piece would attack the enemy king, and the pieces whose
// moving off their line to the king uncovers an attack by a piece behind them.
struct CheckSquares {
  int king;                  // the enemy king's square, or NO_SQUARE
  std::uint64_t byType[8];   // a king never attacks the other king: KING's entry stays empty
  std::uint64_t uncovering;  // the mover's pieces that stand before a slider of its own
};
void FindCheckSquares(CheckSquares& checks);

// Returns true when a castling, en passant or promotion of the side to move gives check. Each
// moves or removes more than one piece, or changes one, so the move is made on the occupancy and
// the mover's army, and the enemy king on bit `king` looked at: the rook, the pawn or the
// promoted piece may check, and so may a slider through any square the move empties.
bool SpecialMoveGivesCheck(int king, Move move);

// Returns true when a move of the side to move gives check, judged before it is made, by checks.
inline bool MoveGivesCheck(const CheckSquares& checks, Move move) {
  int king = checks.king;
  if (king == NO_SQUARE) return false;
  int from = MoveFrom(move), to = MoveTo(move);
  if (MoveFlags(move) & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION))
    return SpecialMoveGivesCheck(SquareBit(king), move);
  // Squares on one line from the king lie on no other line from it, so a path from `to` to the
  // king never crosses `from` unless both lie on one line from the king, where a piece of the
  // mover's would already stand between or give check. A capture only takes a piece off the
  // square the mover then stands on, so it opens no line either.
  if (checks.uncovering & SquareMask(from) &&
      LINE_STEP.step[king][to] != LINE_STEP.step[king][from])
    return true;
  return checks.byType[TypeOf(pos.board[from])] & SquareMask(to);
}
