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
// difference wraps round and sets every bit from the first upward. LINE_REACH holds its answers.
constexpr std::uint64_t SlideAlongLine(int bit, int i, std::uint64_t occupied) {
  std::uint64_t lower = BIT_MASKS.ray[bit][i], upper = BIT_MASKS.ray[bit][OppositeLine(i)];
  std::uint64_t above = upper & occupied;
  std::uint64_t nearestBelow = 1ull << (63 - std::countl_zero((lower & occupied) | 1));
  std::uint64_t nearestAbove = above & (0 - above);
  return (lower | upper) & (2 * nearestAbove - nearestBelow);
}

// The four lines through a square, by the index into LINES of their half toward lower squares.
constexpr int LINE_THROUGH[4] = {LineIndex(NORTH_WEST), LineIndex(NORTH_EAST), LineIndex(NORTH),
                                 LineIndex(WEST)};
constexpr int DIAGONAL_1 = 0, DIAGONAL_2 = 1, ALONG_FILE = 2, ALONG_RANK = 3;

// Returns which of 64 cases the occupancy of a line through `bit` is: the pattern of its inner
// six squares, the end squares of the line blocking nothing beyond themselves. The bits of one
// rank lie together; those of a diagonal, one per file, are added into the top row by a
// multiplication (no two share a file, so nothing carries); those of a file, moved to file a, are
// multiplied into the top row in reverse order (the bits of the product all differ in position,
// so again nothing carries).
template <int KIND>
constexpr int LineCase(int bit, std::uint64_t occupied) {
  constexpr std::uint64_t FILE_A = 0x0101010101010101ull, ROW_TO_FILE = 0x8040201008040201ull;
  if constexpr (KIND == ALONG_RANK) {
    return static_cast<int>(occupied >> ((bit & ~(ROW_BITS - 1)) + 1) & 63);
  } else if constexpr (KIND == ALONG_FILE) {
    return static_cast<int>(((occupied >> (bit & (ROW_BITS - 1))) & FILE_A) * ROW_TO_FILE >> 57 &
                            63);
  } else {
    constexpr int LINE = LINE_THROUGH[KIND];
    std::uint64_t line = BIT_MASKS.ray[bit][LINE] | BIT_MASKS.ray[bit][OppositeLine(LINE)];
    return static_cast<int>((occupied & line) * FILE_A >> 57 & 63);
  }
}

// LINE_REACH.reach[kind][bit][case]: the squares a slider on `bit` reaches along the line of that
// kind when its occupancy is that case, built from SlideAlongLine over every occupancy of the
// line. Two occupancies of one case must reach alike, or the build fails.
struct Slides {
  std::uint64_t reach[4][64][64] = {};
};
template <int KIND>
constexpr void FillSlides(Slides& slides) {
  for (int bit = 0; bit < 64; ++bit) {
    const int i = LINE_THROUGH[KIND];
    // The slider's own square counts for nothing, whether the caller has it occupied or not.
    const std::uint64_t line =
        BIT_MASKS.ray[bit][i] | BIT_MASKS.ray[bit][OppositeLine(i)] | 1ull << bit;
    bool filled[64] = {};
    for (std::uint64_t occupied = 0;; occupied = (occupied - line) & line) {
      int c = LineCase<KIND>(bit, occupied);
      std::uint64_t reach = SlideAlongLine(bit, i, occupied);
      if (filled[c] && slides.reach[KIND][bit][c] != reach) throw "two occupancies share a case";
      slides.reach[KIND][bit][c] = reach;
      filled[c] = true;
      if (occupied == line) break;
    }
  }
}
constexpr Slides MakeSlides() {
  Slides slides;
  FillSlides<DIAGONAL_1>(slides);
  FillSlides<DIAGONAL_2>(slides);
  FillSlides<ALONG_FILE>(slides);
  FillSlides<ALONG_RANK>(slides);
  return slides;
}
inline constexpr Slides LINE_REACH = MakeSlides();

// Returns the squares a slider on `bit` reaches along the line of KIND.
template <int KIND>
inline std::uint64_t SlideAlong(int bit, std::uint64_t occupied) {
  return LINE_REACH.reach[KIND][bit][LineCase<KIND>(bit, occupied)];
}

// Returns the squares a bishop on `bit` reaches.
inline std::uint64_t SlideDiagonally(int bit, std::uint64_t occupied) {
  return SlideAlong<DIAGONAL_1>(bit, occupied) | SlideAlong<DIAGONAL_2>(bit, occupied);
}

// Returns the squares a rook on `bit` reaches.
inline std::uint64_t SlideStraight(int bit, std::uint64_t occupied) {
  return SlideAlong<ALONG_FILE>(bit, occupied) | SlideAlong<ALONG_RANK>(bit, occupied);
}
