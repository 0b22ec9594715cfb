// Bitboards over the SquareBit numbering (a8 = bit 0, b8 = bit 1, ... h1 = bit 63): what a piece
// reaches from each square on an empty board, a slider's reach found from the occupancy in a few
// instructions, and a bit count. They serve the code that works on whole sets of squares at once:
// the attack tests, the generators over the piece sets (the legal one that perft and the search's
// nodes in check walk, and the search's stages) and perft's count; nothing here touches pos.
#pragma once

#include <bit>
#include <cstdint>
#include <initializer_list>

#include "engine/geometry.h"
#include "engine/position.h"

constexpr int ROW_BITS = FILE_COUNT;  // bits per row; a step NORTH is ROW_BITS bits down

// What a piece reaches from each square on an empty board, by bit, so that a loop over a set's
// bits looks it up directly. ANDed with the occupancy, a mask tells at once that no piece of a
// side stands where it could matter, so a line need not be walked.
struct BitMasks {
  std::uint64_t ray[64][LINE_COUNT] = {};  // by index into LINES
  std::uint64_t knight[64] = {};
  std::uint64_t king[64] = {};
  std::uint64_t pawnCapture[2][64] = {};  // by ColourIndex: the squares a pawn there captures on
  std::uint64_t diagonal[64] = {};        // all four diagonal lines
  std::uint64_t straight[64] = {};        // all four ranks and files
};

// Builds the masks from the direction table, walking the mailbox board.
constexpr BitMasks MakeBitMasks() {
  BitMasks masks;
  for (int bit = 0; bit < 64; ++bit) {
    const int from = BitSquare(bit);
    for (int i = 0; i < LINE_COUNT; ++i) {
      const int d = LINES[i], jump = KNIGHT_JUMPS[i];
      if (IsPlayingSquare(from + d)) masks.king[bit] |= SquareMask(from + d);
      if (IsPlayingSquare(from + jump)) masks.knight[bit] |= SquareMask(from + jump);
      for (int s = from + d; IsPlayingSquare(s); s += d) masks.ray[bit][i] |= SquareMask(s);
      (IsDiagonal(d) ? masks.diagonal : masks.straight)[bit] |= masks.ray[bit][i];
    }
    for (int colour : {WHITE, BLACK})
      for (int side : {WEST, EAST})
        if (IsPlayingSquare(from + Forward(colour) + side))
          masks.pawnCapture[ColourIndex(colour)][bit] |= SquareMask(from + Forward(colour) + side);
  }
  return masks;
}
inline constexpr BitMasks BIT_MASKS = MakeBitMasks();

// Returns the index of the lowest set bit of a non-empty set.
inline int LowestBit(std::uint64_t set) { return std::countr_zero(set); }

// Whether every processor the build targets counts a set's bits in one instruction, which
// std::popcount then compiles to: x86-64 built for popcnt, every arm64 (its vector unit's count),
// POWER7 and later (ppc64el), z196 and later (s390x), RISC-V with its bit-manipulation extension.
// Elsewhere std::popcount may call a library routine for each count, slower than the plain count.
#if defined(__POPCNT__) || defined(__aarch64__) || defined(_ARCH_PWR7) || \
    (defined(__s390x__) && __ARCH__ >= 9) || defined(__riscv_zbb)
constexpr bool BIT_COUNT_INSTRUCTION = true;
#else
constexpr bool BIT_COUNT_INSTRUCTION = false;
#endif

// Returns the number of set bits. HARDWARE: the caller is compiled for the processor's instruction
// (perft.cpp asks an x86-64 whether it has one). Otherwise the count is the instruction where
// every processor of the target has it, and elsewhere sums the bits in place: in pairs, then
// fours, then bytes, the bytes added up by one multiplication.
template <bool HARDWARE = false>
[[gnu::always_inline]] inline int CountBits(std::uint64_t set) {
  if constexpr (HARDWARE || BIT_COUNT_INSTRUCTION) {
    return std::popcount(set);
  } else {
    set -= set >> 1 & 0x5555555555555555ull;
    set = (set & 0x3333333333333333ull) + (set >> 2 & 0x3333333333333333ull);
    set = (set + (set >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>(set * 0x0101010101010101ull >> 56);
  }
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
// kind when its occupancy is that case. Built at start-up (bitboards.cpp), before main runs, so no
// code that runs before main may slide.
struct Slides {
  std::uint64_t reach[4][64][64];
};
extern const Slides LINE_REACH;

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
