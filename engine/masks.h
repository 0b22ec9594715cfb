// Bit masks (SquareBit) of the squares a piece could reach from each square on an empty board:
// along each line, and by a knight's or king's step. ANDed with the occupancy bits they tell at
// once that no piece of a side stands where it could matter, so a line need not be walked.
#pragma once

#include <cstdint>

#include "engine/position.h"

struct ReachMasks {
  std::uint64_t ray[BOARD_SIZE][8] = {};  // by index into DIRECTIONS[QUEEN]
  std::uint64_t knight[BOARD_SIZE] = {};
  std::uint64_t king[BOARD_SIZE] = {};
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
    }
  }
  return masks;
}

inline constexpr ReachMasks REACH = MakeReachMasks();

// Returns the mask of the squares along the line from `from` in direction d (a step of a
// bishop, rook or queen).
constexpr std::uint64_t RayMask(int from, int d) {
  constexpr int INDEX[23] = {0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0, 5, 6, 7};
  return REACH.ray[from][INDEX[d + 11]];
}
