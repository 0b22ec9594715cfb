// Making a move with full legality, and taking it back.
#pragma once

#include <array>

#include "engine/attack.h"
#include "engine/position.h"

// What UndoMove needs to take a move back exactly.
struct Undo {
  std::int32_t piece;     // the code that stood on the from-square
  std::int32_t captured;  // the code that stood on the to-square
  std::int32_t epVictim;  // the pawn removed by an en-passant capture
  std::int32_t castleRights, epSquare, halfmoveClock, historyLength, material;
  std::uint32_t hash;
  std::uint64_t key;
  std::uint64_t occupied[2], pawns[2];
};

// The castling rule. Standard chess also counts a square that an enemy pawn covers diagonally as
// attacked when a king would castle across it; these rules do not (an empty square counts as
// attacked only where an enemy pseudo-legal move lands on it). Set for programs that must play
// standard chess with others; the game leaves it off. Every castling legality test asks
// CastlingAllowed, so this is the one switch.
extern bool standardCastling;

// Returns whether the opponent attacks neither square the king crosses or lands on, as the
// castling rule asks, where attacked(square, by) says what "attacks" means for an empty square
// (IsAttacked; the reference passes the generator-based definition; perft asks its bit sets).
// This is the one place that knows which squares those are and what standardCastling adds.
template <typename Attacked>
bool CastlingSquaresSafe(const Castling& castling, Attacked attacked) {
  int opponent = castling.colour ^ BLACK;
  for (int square : castling.safe)
    if (attacked(square, opponent) || (standardCastling && CoveredByPawn(square, opponent)))
      return false;
  return true;
}

// Returns whether the rules allow the castling now, short of its king's safety on arrival, which
// is judged like any move's: the king is not in check, the cells between king and rook are empty,
// and the squares are safe (CastlingSquaresSafe). A right is only held while king and rook stand
// at home: nothing has moved from or onto their squares since.
bool CastlingAllowed(const Castling& castling, bool (*isAttacked)(int square, int by) = IsAttacked);

// The castle mask: castleRights is ANDed with the mask of a move's from- and to-square, so a right
// survives only while nothing has moved from or onto its king's or rook's home square.
constexpr std::array<std::int32_t, BOARD_SIZE> MakeCastleMask() {
  std::array<std::int32_t, BOARD_SIZE> mask = {};
  for (int square = 0; square < BOARD_SIZE; ++square)
    if (IsPlayingSquare(square)) mask[square] = ALL_CASTLE_RIGHTS;
  for (const Castling& castling : CASTLINGS) {
    mask[castling.kingFrom] &= ~castling.right;
    mask[castling.rookFrom] &= ~castling.right;
  }
  return mask;
}
inline constexpr std::array<std::int32_t, BOARD_SIZE> CASTLE_MASK = MakeCastleMask();

// Makes a generated move of pos.side and returns true, or refuses it and returns false leaving
// every field of pos as it was. Refused: a move of a piece that is not the mover's, a capture of
// a king, a move that leaves the mover's king attacked, and castling that CastlingAllowed refuses.
// A successful move updates board, castling rights, en-passant square, halfmove clock, side,
// hash and history, and the derived state. moverInCheck may be false only when the caller knows
// that the mover is not in check now; the check test is then cut short.
bool MakeMove(Move move, Undo& undo, bool moverInCheck = true);
bool MakeMove(Move move);

// Takes back a move that MakeMove made, given the record it filled.
void UndoMove(Move move, const Undo& undo);
