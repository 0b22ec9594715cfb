// Bit masks (SquareBit) of the squares a piece could reach from each square on an empty board:
// along each line, and by a knight's or king's step. ANDed with the occupancy bits they tell at
// once that no piece of a side stands where it could matter, so a line need not be walked.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/position.h"

// Whether each line of DIRECTIONS[QUEEN] is a diagonal.
inline constexpr bool SLIDES_DIAGONALLY[8] = {true, false, true, false, false, true, false, true};

struct ReachMasks {
  std::uint64_t ray[BOARD_SIZE][8] = {};    // by index into DIRECTIONS[QUEEN]
  std::uint64_t diagonal[BOARD_SIZE] = {};  // all four diagonal lines
  std::uint64_t straight[BOARD_SIZE] = {};  // all four ranks and files
  std::uint64_t knight[BOARD_SIZE] = {};
  std::uint64_t king[BOARD_SIZE] = {};
  std::uint64_t pawnCapture[2][BOARD_SIZE] = {};  // by colour >> 3: a pawn's two capture squares
};

// Builds the masks from the direction table.
constexpr ReachMasks MakeReachMasks() {
  ReachMasks masks;
  auto playing = [](int s) { return s >= A8 && s <= H1 && s % 10 != 0 && s % 10 != 9; };
  for (int from = A8; from <= H1; ++from) {
    if (!playing(from)) continue;
    for (int i = 0; i < 8; ++i) {
      int d = DIRECTIONS[QUEEN][i];
      if (playing(from + d)) masks.king[from] |= 1ull << SquareBit(from + d);
      int jump = DIRECTIONS[KNIGHT][i];
      if (playing(from + jump)) masks.knight[from] |= 1ull << SquareBit(from + jump);
      for (int s = from + d; playing(s); s += d) masks.ray[from][i] |= 1ull << SquareBit(s);
      bool diagonalStep = SLIDES_DIAGONALLY[i] && playing(from + d);
      if (diagonalStep && d < 0)
        masks.pawnCapture[KingIndex(WHITE)][from] |= 1ull << SquareBit(from + d);
      if (diagonalStep && d > 0)
        masks.pawnCapture[KingIndex(BLACK)][from] |= 1ull << SquareBit(from + d);
      (SLIDES_DIAGONALLY[i] ? masks.diagonal : masks.straight)[from] |= masks.ray[from][i];
    }
  }
  return masks;
}

inline constexpr ReachMasks REACH = MakeReachMasks();

// Returns the square of the first piece (a bit of occupied) met going from `from` along line i
// (an index into DIRECTIONS[QUEEN]), or NO_SQUARE when the line is empty to the edge. The first
// four lines run toward lower squares, whose bits are lower, so the nearest piece is the highest
// bit; the other four run toward higher ones.
inline int FirstOnLine(int from, int i, std::uint64_t occupied) {
  std::uint64_t blockers = REACH.ray[from][i] & occupied;
  if (blockers == 0) return NO_SQUARE;
  return BitSquare(i < 4 ? 63 - std::countl_zero(blockers) : std::countr_zero(blockers));
}
