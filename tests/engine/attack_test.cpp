// The fast attack and check tests against the generator-based definition, on every square of
// every position of random games whose starts hold every quirk of the definition (pawn steps,
// en-passant squares, castling claims), by the game's rules and by standard chess's.
#include "engine/attack.h"

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
