// The fast attack and check tests against the generator-based definition, on every square of
// every position of random games whose starts hold every quirk of the definition (pawn steps,
// en-passant squares, castling claims), by the game's rules and by standard chess's; the slides
// they stand on against a walk along the line.
#include "engine/attack.h"

#include "engine/bitboards.h"
#include "engine/castling.h"
#include "engine/reference/plain_rules.h"
#include "test_util.h"

TEST(Attack, FastTestsMatchDefinition) {
  std::mt19937 rng(12345);
  int positions = 0;
  for (int game = 0; game < 40; ++game) {
    standardRules = game >= 20;
    positions += RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 80, [] {
      for (int square = A8; square <= H1; ++square)
        for (int by : {WHITE, BLACK})
          if (IsAttacked(square, by) != IsAttackedByGenerator(square, by)) {
            ADD_FAILURE() << PositionToFen() << " square " << SquareName(square) << " by " << by;
            return false;
          }
      for (int colour : {WHITE, BLACK})
        if (InCheck(colour) != InCheckByGenerator(colour)) {
          ADD_FAILURE() << PositionToFen() << " check of " << colour;
          return false;
        }
      return true;
    });
  }
  standardRules = false;
  EXPECT_GT(positions, 2000);
}

// Every occupancy of every line through every square, other squares filled at random, slides as
// far as a walk along the line goes: so no two occupancies share a case of the slide table.
TEST(Slides, EveryOccupancyOfEveryLine) {
  std::mt19937_64 rng(5);
  for (int bit = 0; bit < 64; ++bit)
    for (int i : LINE_THROUGH) {
      const std::uint64_t line = BIT_MASKS.ray[bit][i] | BIT_MASKS.ray[bit][OppositeLine(i)];
      for (std::uint64_t onLine = 0;; onLine = (onLine - line) & line) {
        const std::uint64_t occupied = onLine | (rng() & ~line);
        std::uint64_t walked = 0;
        for (int d : {LINES[i], LINES[OppositeLine(i)]})
          for (int s = BitSquare(bit) + d; IsPlayingSquare(s); s += d) {
            walked |= SquareMask(s);
            if (occupied & SquareMask(s)) break;
          }
        const std::uint64_t slid =
            IsDiagonal(LINES[i]) ? SlideDiagonally(bit, occupied) : SlideStraight(bit, occupied);
        ASSERT_EQ(slid & line, walked) << "square " << SquareName(BitSquare(bit)) << " line " << i
                                       << " occupied " << std::hex << occupied;
        if (onLine == line) break;
      }
    }
}
