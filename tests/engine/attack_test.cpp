// The attack tests: the quirks of the generator-based definition, and the fast tests checked
// against that definition on many positions.
#include "engine/attack.h"

#include "engine/reference/plain_rules.h"
#include "test_util.h"

TEST(Attack, DefinitionQuirks) {
  InitPosition();
  for (auto attacked : {IsAttacked, IsAttackedByGenerator}) {
    EXPECT_FALSE(attacked(E2, BLACK));
    EXPECT_TRUE(attacked(E3, WHITE));   // empty, reached by the pawn step e2-e3
    EXPECT_TRUE(attacked(E4, WHITE));   // and by the double step
    EXPECT_FALSE(attacked(D6, WHITE));  // covered by nothing
  }
  EXPECT_FALSE(InCheck(WHITE));
  EXPECT_FALSE(InCheck(BLACK));

  // A rook on the open file checks whoever is to move, and the test leaves side alone.
  for (int side : {WHITE, BLACK}) {
    SetFen("4r1k1/8/8/8/8/8/8/4K3 w - - 0 1");
    pos.side = side;
    EXPECT_TRUE(InCheck(WHITE));
    EXPECT_TRUE(InCheckByGenerator(WHITE));
    EXPECT_EQ(pos.side, side);
  }

  // A pawn covers empty squares straight ahead, not diagonally.
  SetFen("4k3/8/8/8/8/8/4p3/7K w - - 0 1");
  for (auto attacked : {IsAttacked, IsAttackedByGenerator}) {
    EXPECT_FALSE(attacked(F1, BLACK));
    EXPECT_TRUE(attacked(E1, BLACK));
  }

  // A castling move counts for its king's destination whatever stands there, and an en-passant
  // capture for its square.
  SetFen("r3k2r/8/8/3pP3/8/8/8/4K3 w kq d6 0 1");
  for (auto attacked : {IsAttacked, IsAttackedByGenerator}) {
    EXPECT_TRUE(attacked(G8, BLACK));
    EXPECT_TRUE(attacked(C8, BLACK));
    EXPECT_FALSE(attacked(G1, BLACK));
    EXPECT_TRUE(attacked(D6, WHITE));
  }
}

// Every square, both colours, at every position of random games.
TEST(Attack, FastTestsMatchDefinition) {
  std::mt19937 rng(12345);
  int positions = 0;
  for (int game = 0; game < 40; ++game)
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
  EXPECT_GT(positions, 2000);
}
