// The bitboard helpers against plain walks over the mailbox.
#include "engine/bitboards.h"

#include <random>

#include "test_util.h"

namespace {

// Returns the squares a slider on `bit` reaches along the diagonals or the ranks and files, found
// by walking each line cell by cell up to the first occupied square.
std::uint64_t WalkLines(int bit, std::uint64_t occupied, bool diagonally) {
  std::uint64_t reach = 0;
  for (int d : LINES) {
    if (d == 0 || IsDiagonal(d) != diagonally) continue;
    for (int s = BitSquare(bit) + d; START_BOARD[s] != OFFBOARD; s += d) {
      reach |= 1ull << SquareBit(s);
      if (occupied >> SquareBit(s) & 1) break;
    }
  }
  return reach;
}

}  // namespace

TEST(Bitboards, SlidesAndCountsMatchWalking) {
  std::mt19937_64 rng(3);
  for (int trial = 0; trial < 3000; ++trial) {
    std::uint64_t occupied = rng();
    for (int sparser = trial % 4; sparser > 0; --sparser) occupied &= rng();
    for (int bit = 0; bit < 64; ++bit) {
      ASSERT_EQ(SlideDiagonally(bit, occupied), WalkLines(bit, occupied, true)) << bit;
      ASSERT_EQ(SlideStraight(bit, occupied), WalkLines(bit, occupied, false)) << bit;
    }
    ASSERT_EQ(CountBits(occupied), std::popcount(occupied));
  }
}
