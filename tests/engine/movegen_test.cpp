// The generator's fixed order, the bound on the move list, and the search's special generators.
#include "engine/movegen.h"

#include <algorithm>
#include <vector>

#include "engine/attack.h"
#include "engine/perft.h"
#include "engine/set_movegen.h"
#include "test_util.h"

TEST(MoveGen, FixedOrder) {
  InitPosition();
  EXPECT_EQ(GeneratedMoves(),
            "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4 "
            "b1a3 b1c3 g1f3 g1h3 e1g1 e1c1");

  // Promotions: the capture toward file a first, then the step, each as N, B, R, Q.
  SetFen("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(GeneratedMoves().substr(0, 47), "b7a8n b7a8b b7a8r b7a8q b7b8n b7b8b b7b8r b7b8q");

  // Pawns capture toward file a, then toward file h, then step; edge-file pawns capture only
  // toward the board; a knight in the corner has two moves; a rook's ray includes an enemy and
  // stops before a friend.
  SetFen("8/p6p/1N1p2N1/2P1P1k1/8/8/8/4K3 b - - 0 1");
  EXPECT_EQ(GeneratedMoves().substr(0, 44), "a7b6 a7a6 a7a5 h7g6 h7h6 h7h5 d6c5 d6e5 d6d5");
  SetFen("4k3/8/8/8/8/7p/6B1/N3K2R w - - 0 1");
  EXPECT_EQ(GeneratedMoves(),
            "g2f3 g2e4 g2d5 g2c6 g2b7 g2a8 g2h3 g2f1 a1b3 a1c2 e1d2 e1e2 e1f2 e1d1 e1f1 "
            "h1h2 h1h3 h1g1 h1f1");

  // En passant comes last, the capture from file a's side first.
  SetFen("4k3/8/8/2PpP3/8/8/8/4K3 w - d6 0 1");
  EXPECT_TRUE(GeneratedMoves().ends_with("c5d6 e5d6")) << GeneratedMoves();
}

// Real positions reach 218 legal moves; none of them may be lost.
TEST(MoveGen, ListHoldsPositionsWithHundredsOfMoves) {
  SetFen("R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
  MoveList list;
  GenerateMoves(list);
  EXPECT_GT(list.count, 120);
  EXPECT_EQ(Perft(1), 218u);
}

// The search's generators give exactly the moves they promise, as sets: captures and promotions
// plus the quiet moves are all the moves; out of check the quiet checks are the quiet moves that
// give check, and castling.
TEST(MoveGen, SpecialGeneratorsGiveTheirMoves) {
  auto sorted = [](const MoveList& list) {
    std::vector<Move> moves(list.moves, list.moves + list.count);
    std::sort(moves.begin(), moves.end());
    return moves;
  };
  std::mt19937 rng(777);
  for (int game = 0; game < 40; ++game)
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 80, [&] {
      MoveList all, both, quiet, special, expected;
      GenerateMoves(all);
      GenerateCaptures(both);
      for (int i = 0; i < both.count; ++i)
        EXPECT_TRUE(MoveFlags(both.moves[i]) & (MF_CAPTURE | MF_PROMOTION));
      GenerateQuietMoves(quiet);
      for (int i = 0; i < quiet.count; ++i) both.moves[both.count++] = quiet.moves[i];
      EXPECT_EQ(sorted(both), sorted(all)) << "captures and quiet moves " << PositionToFen();
      if (InCheck(pos.side)) return !HasFailure();
      CheckRecord record;
      GenerateQuietChecks(special, record);
      expected.count = 0;
      for (int i = 0; i < quiet.count; ++i)
        if (MoveFlags(quiet.moves[i]) & MF_CASTLE || MoveGivesCheck(record, quiet.moves[i]))
          expected.moves[expected.count++] = quiet.moves[i];
      EXPECT_EQ(sorted(special), sorted(expected)) << "quiet checks " << PositionToFen();
      return !HasFailure();
    });
}
