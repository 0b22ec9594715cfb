// The castling rule: the rights a move clears, the squares the rights claim, the squares the king
// must find safe, and the switch to standard chess. Every castling question of the rules asks here.
#pragma once

#include <array>
#include <cstdint>

#include "engine/attack.h"
#include "engine/position.h"

// Whether the rules are standard chess's rather than the game's. These rules count an empty
// square as attacked only where an enemy pseudo-legal move lands on it, so the king's destination
// of every castling the rights still allow counts as attacked by that castling's side, and a
// square that an enemy pawn covers only diagonally does not. Standard chess has no such claims,
// and forbids castling across a square that an enemy pawn covers. Set for programs that must play
// standard chess with others; the game leaves it off.
extern bool standardRules;

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

// The cells between king and rook of each castling, by its right's bit, as bits.
constexpr std::array<std::uint64_t, ALL_CASTLE_RIGHTS + 1> MakeCastlingBetween() {
  std::array<std::uint64_t, ALL_CASTLE_RIGHTS + 1> between = {};
  for (const Castling& castling : CASTLINGS)
    for (int i = 0; i < castling.emptyCount; ++i)
      between[castling.right] |= SquareMask(castling.empty[i]);
  return between;
}
inline constexpr std::array<std::uint64_t, ALL_CASTLE_RIGHTS + 1> CASTLING_BETWEEN =
    MakeCastlingBetween();

// The squares, as bits, that castling rights claim, by colour index and castleRights: the king's
// destination of each castling of that colour the rights still allow, whatever stands there.
struct ClaimTable {
  std::uint64_t claims[2][ALL_CASTLE_RIGHTS + 1] = {};
};
constexpr ClaimTable MakeClaimTable() {
  ClaimTable table;
  for (int rights = 0; rights <= ALL_CASTLE_RIGHTS; ++rights)
    for (const Castling& castling : CASTLINGS)
      if (rights & castling.right)
        table.claims[ColourIndex(castling.colour)][rights] |= SquareMask(castling.kingTo);
  return table;
}
inline constexpr ClaimTable CLAIM_TABLE = MakeClaimTable();

// Returns the squares that the castling rights of `by` claim now: none under standard rules.
inline std::uint64_t CastlingClaims(int by) {
  return standardRules ? 0 : CLAIM_TABLE.claims[ColourIndex(by)][pos.castleRights];
}

// Returns whether the opponent attacks neither square the king crosses or lands on, where
// attacked(square, by) says what "attacks" means for an empty square (IsAttacked; the reference
// passes the generator-based definition; the legal generator asks its bit sets). This is the one
// place that knows which squares those are and what standardRules adds.
template <typename Attacked>
bool CastlingSquaresSafe(const Castling& castling, Attacked attacked) {
  int opponent = castling.colour ^ BLACK;
  for (int square : castling.safe)
    if (attacked(square, opponent) || (standardRules && CoveredByPawn(square, opponent)))
      return false;
  return true;
}

// Returns whether a castling whose right is held is legal, its king not in check: the cells
// between king and rook are empty, the squares it crosses and lands on are safe
// (CastlingSquaresSafe), and on arrival no enemy pawn attacks the king. Nothing else can: the
// lines through the destination are blocked alike before the move and after it (by the king, then
// by the rook, on the side the king comes from; nothing lies beyond the rook's home), the enemy's
// claims lie on the other back rank, and the destination counts as attacked as an empty square.
template <typename Attacked>
bool IsCastlingLegal(const Castling& castling, std::uint64_t occupied, Attacked attacked) {
  return !(occupied & CASTLING_BETWEEN[castling.right]) &&
         CastlingSquaresSafe(castling, attacked) &&
         !CoveredByPawn(castling.kingTo, castling.colour ^ BLACK);
}
