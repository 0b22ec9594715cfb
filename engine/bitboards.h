// Bitboards over the SquareBit numbering (a8 = bit 0, b8 = bit 1, ... h1 = bit 63): masks by bit
// instead of by mailbox square, a slider's reach found from the occupancy in a few instructions,
// and a bit count. They serve the code that works on whole sets of squares at once (perft's
// counter and the legal generator); nothing here touches pos.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/masks.h"
#include "engine/position.h"

constexpr std::uint64_t FILE_A_BITS = 0x0101010101010101ull;
constexpr std::uint64_t FILE_H_BITS = FILE_A_BITS << 7;
constexpr int ROW_BITS = 8;  // bits per row; a step NORTH is ROW_BITS bits down
constexpr std::uint64_t RANK_8_BITS = 0xFFull;
constexpr std::uint64_t RANK_1_BITS = RANK_8_BITS << 7 * ROW_BITS;

// The masks of masks.h renumbered by bit, so that a loop over a set's bits looks them up directly.
struct BitMasks {
  std::uint64_t ray[64][8] = {};  // by index into DIRECTIONS[QUEEN]; lines 0-3 run toward bit 0
  std::uint64_t knight[64] = {};
  std::uint64_t king[64] = {};
  std::uint64_t pawnCapture[2][64] = {};  // by colour >> 3: a pawn's two capture squares
  std::uint64_t diagonal[64] = {};        // all four diagonal lines
  std::uint64_t straight[64] = {};        // all four ranks and files
};
constexpr BitMasks MakeBitMasks() {
  BitMasks masks;
  for (int bit = 0; bit < 64; ++bit) {
    int square = BitSquare(bit);
    for (int i = 0; i < 8; ++i) masks.ray[bit][i] = REACH.ray[square][i];
    masks.knight[bit] = REACH.knight[square];
    masks.king[bit] = REACH.king[square];
    masks.diagonal[bit] = REACH.diagonal[square];
    masks.straight[bit] = REACH.straight[square];
    for (int side = 0; side < 2; ++side)
      masks.pawnCapture[side][bit] = REACH.pawnCapture[side][square];
  }
  return masks;
}
inline constexpr BitMasks BIT_MASKS = MakeBitMasks();

// Returns the index of the lowest set bit of a non-empty set.
inline int LowestBit(std::uint64_t set) { return std::countr_zero(set); }

// Returns the number of set bits. The build targets every x86-64, which may lack a bit-count
// instruction (the library would then call out for each count), so the bits are summed in place:
// in pairs, then fours, then bytes, and the bytes added up by one multiplication.
inline int CountBits(std::uint64_t set) {
#ifdef __POPCNT__
  return std::popcount(set);
#else
  set -= set >> 1 & 0x5555555555555555ull;
  set = (set & 0x3333333333333333ull) + (set >> 2 & 0x3333333333333333ull);
  set = (set + (set >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>(set * 0x0101010101010101ull >> 56);
#endif
}

// Returns the squares a slider on `bit` reaches along line i (i < 4) and its opposite 7 - i, up to
// and including the first occupied square each way. Along one line the squares below `bit` have
// lower bits than those above it, so the nearest blocker below is the highest bit of the occupied
// part below (bit 0 when there is none: every square below is then reached) and the nearest above
// is the lowest bit of the occupied part above. Twice the second minus the first sets exactly the
// bits from the first to the second; with nothing above, the difference wraps round and sets every
// bit from the first upward.
inline std::uint64_t SlideAlongLine(int bit, int i, std::uint64_t occupied) {
  std::uint64_t lower = BIT_MASKS.ray[bit][i], upper = BIT_MASKS.ray[bit][7 - i];
  std::uint64_t above = upper & occupied;
  std::uint64_t nearestBelow = 1ull << (63 - std::countl_zero((lower & occupied) | 1));
  std::uint64_t nearestAbove = above & (0 - above);
  return (lower | upper) & (2 * nearestAbove - nearestBelow);
}

// The lines of DIRECTIONS[QUEEN] below bit 0's side: north-west, north, north-east and west.
constexpr int LINE_NORTH_WEST = 0, LINE_NORTH = 1, LINE_NORTH_EAST = 2, LINE_WEST = 3;

// Returns the squares a bishop on `bit` reaches.
inline std::uint64_t SlideDiagonally(int bit, std::uint64_t occupied) {
  return SlideAlongLine(bit, LINE_NORTH_WEST, occupied) |
         SlideAlongLine(bit, LINE_NORTH_EAST, occupied);
}

// Returns the squares a rook on `bit` reaches.
inline std::uint64_t SlideStraight(int bit, std::uint64_t occupied) {
  return SlideAlongLine(bit, LINE_NORTH, occupied) | SlideAlongLine(bit, LINE_WEST, occupied);
}
