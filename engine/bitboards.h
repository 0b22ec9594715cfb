// Bitboards over the SquareBit numbering (a8 = bit 0, b8 = bit 1, ... h1 = bit 63): masks by bit
// instead of by mailbox square, a slider's reach found from the occupancy in a few instructions,
// and a bit count. They serve the code that works on whole sets of squares at once (perft's
// counter and the legal generator); nothing here touches pos.
#pragma once

#include <bit>
#include <cstdint>
#include <initializer_list>

#include "engine/geometry.h"
#include "engine/position.h"

constexpr int ROW_BITS = FILE_COUNT;  // bits per row; a step NORTH is ROW_BITS bits down

// The reach masks of geometry.h renumbered by bit, so that a loop over a set's bits looks them up
// directly, and each colour's pawn capture squares.
struct BitMasks {
  std::uint64_t ray[64][LINE_COUNT] = {};
  std::uint64_t knight[64] = {};
  std::uint64_t king[64] = {};
  std::uint64_t pawnCapture[2][64] = {};  // by ColourIndex: the squares a pawn there captures on
  std::uint64_t diagonal[64] = {};        // all four diagonal lines
  std::uint64_t straight[64] = {};        // all four ranks and files
};
constexpr BitMasks MakeBitMasks() {
  BitMasks masks;
  for (int bit = 0; bit < 64; ++bit) {
    int square = BitSquare(bit);
    for (int i = 0; i < LINE_COUNT; ++i) masks.ray[bit][i] = REACH.ray[square][i];
    masks.knight[bit] = REACH.knight[square];
    masks.king[bit] = REACH.king[square];
    masks.diagonal[bit] = REACH.diagonal[square];
    masks.straight[bit] = REACH.straight[square];
    for (int colour : {WHITE, BLACK})
      for (int side : {WEST, EAST})
        if (IsPlayingSquare(square + Forward(colour) + side))
          masks.pawnCapture[ColourIndex(colour)][bit] |=
              SquareMask(square + Forward(colour) + side);
  }
  return masks;
}
inline constexpr BitMasks BIT_MASKS = MakeBitMasks();

// Returns the index of the lowest set bit of a non-empty set.
inline int LowestBit(std::uint64_t set) { return std::countr_zero(set); }

// Returns the number of set bits; with HARDWARE, by the CPU's popcnt instruction, which only a
// caller compiled for that instruction may ask for (see perft.cpp: elsewhere the compiler would
// call the library for each count). The build targets every x86-64, which may lack it, so the
// plain count sums the bits in place: in pairs, then fours, then bytes, and the bytes added up by
// one multiplication.
template <bool HARDWARE = false>
[[gnu::always_inline]] inline int CountBits(std::uint64_t set) {
#ifndef __POPCNT__
  if constexpr (!HARDWARE) {
    set -= set >> 1 & 0x5555555555555555ull;
    set = (set & 0x3333333333333333ull) + (set >> 2 & 0x3333333333333333ull);
    set = (set + (set >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>(set * 0x0101010101010101ull >> 56);
  }
#endif
  return std::popcount(set);
}

// Returns the squares a slider on `bit` reaches along line i (one that runs toward lower squares)
// and its opposite, up to and including the first occupied square each way. Along one line the
// squares below `bit` have lower bits than those above it, so the nearest blocker below is the
// highest bit of the occupied part below (bit 0 when there is none: every square below is then
// reached) and the nearest above is the lowest bit of the occupied part above. Twice the second
// minus the first sets exactly the bits from the first to the second; with nothing above, the
// difference wraps round and sets every bit from the first upward.
inline std::uint64_t SlideAlongLine(int bit, int i, std::uint64_t occupied) {
  std::uint64_t lower = BIT_MASKS.ray[bit][i], upper = BIT_MASKS.ray[bit][OppositeLine(i)];
  std::uint64_t above = upper & occupied;
  std::uint64_t nearestBelow = 1ull << (63 - std::countl_zero((lower & occupied) | 1));
  std::uint64_t nearestAbove = above & (0 - above);
  return (lower | upper) & (2 * nearestAbove - nearestBelow);
}

// Returns the squares a bishop on `bit` reaches.
inline std::uint64_t SlideDiagonally(int bit, std::uint64_t occupied) {
  constexpr int LEFT = LineIndex(NORTH_WEST), RIGHT = LineIndex(NORTH_EAST);
  return SlideAlongLine(bit, LEFT, occupied) | SlideAlongLine(bit, RIGHT, occupied);
}

// Returns the squares a rook on `bit` reaches.
inline std::uint64_t SlideStraight(int bit, std::uint64_t occupied) {
  constexpr int FILE = LineIndex(NORTH), RANK = LineIndex(WEST);
  return SlideAlongLine(bit, FILE, occupied) | SlideAlongLine(bit, RANK, occupied);
}
