// Making a move with full legality, and taking it back.
#pragma once

#include <array>

#include "engine/attack.h"
#include "engine/position.h"

// What UndoMove needs to take a move back exactly.
struct Undo {
  std::int32_t captured;  // the code that stood on the to-square
  MoveFields fields;      // as they were before the move
};

// The castling rule. Standard chess also counts a square that an enemy pawn covers diagonally as
// attacked when a king would castle across it; these rules do not (an empty square counts as
// attacked only where an enemy pseudo-legal move lands on it). Set for programs that must play
// standard chess with others; the game leaves it off. Every castling legality test, MakeMove's
// and the legal generator's, asks CastlingSquaresSafe, so this is the one switch.
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

// What a caller knows of a move's legality, which lets MakeMove cut its test short.
enum KnownLegality {
  LEGALITY_UNKNOWN,
  MOVER_NOT_IN_CHECK,  // the mover is not in check now: only a line the move opens can matter
  KNOWN_LEGAL,         // the legal generator gave the move: nothing is tested
};

// Returns what is known of every move's legality where the mover is, or is not, in check.
constexpr KnownLegality KnownFromCheck(bool moverInCheck) {
  return moverInCheck ? LEGALITY_UNKNOWN : MOVER_NOT_IN_CHECK;
}

// How much of the position a move brings up to date: what the rules read (the board and the
// state derived from it, castling rights, en-passant square, side), which is all that counting
// moves needs, or also what a search reads (the key, the material, the halfmove clock and the
// history length).
enum MakeScope { RULES_ONLY, FOR_SEARCH };

// Makes a generated move of pos.side and returns true, or refuses it and returns false leaving
// every field of pos as it was. Refused: a move of a piece that is not the mover's, a capture of
// a king, a move that leaves the mover's king attacked, and castling that CastlingAllowed refuses.
// A successful move updates what SCOPE names; it does not record the position in the game's
// record (hash, history, key ring), which only the game's own moves do. UndoMove takes it back
// in either scope.
template <MakeScope SCOPE = FOR_SEARCH>
bool MakeMove(Move move, Undo& undo, KnownLegality known = LEGALITY_UNKNOWN);

// Makes a move of the game, as above, and records the new position: its hash, stored in the
// history while there is room, and its key, in the key ring that repetitions are counted in.
bool MakeMove(Move move);

// Takes back a move that MakeMove made, given the record it filled.
void UndoMove(Move move, const Undo& undo);

// Returns true when MakeMove accepts the move: the one legality test of a generated move. The
// position is left as it was.
bool IsLegal(Move move, KnownLegality known = LEGALITY_UNKNOWN);
