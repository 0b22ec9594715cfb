// The game's search against the plain reference search, on positions from random games: the
// same root score and best move with the full window, and the same value in random windows. Two
// shards per starting point, so that ctest can run them side by side in even portions.
#include <bit>

#include "engine/reference/plain_search.h"
#include "engine/search.h"
#include "test_util.h"

namespace {

// The plain search is slow, and slower still with assertions and sanitizers, where fewer
// positions are compared.
#ifdef NDEBUG
constexpr int POSITIONS = 2000;
#else
constexpr int POSITIONS = 300;
#endif
constexpr int SHARDS = 2 * WALK_START_COUNT;

class Differential : public testing::TestWithParam<int> {};

}  // namespace

TEST_P(Differential, FastSearchMatchesPlainSearch) {
  const int shard = GetParam();
  std::mt19937 rng(2026 + shard);
  int compared = 0;
  while (compared < POSITIONS / SHARDS) {
    RandomGame(WALK_STARTS[shard % WALK_START_COUNT], rng, 40, [&] {
      if (compared++ >= POSITIONS / SHARDS) return false;
      // Mostly shallow searches, since the plain search is slow; depth 6 in small positions.
      int depth = 1 + static_cast<int>(rng() % 5);
      if (depth == 5 && rng() % 3) depth = 3;
      bool fewPieces = pos.material > -12 && pos.material < 12 &&
                       std::popcount(pos.occupied[0] | pos.occupied[1]) < 12;
      if (fewPieces && rng() % 8 == 0) depth = 6;
      const Position before = pos;
      std::string where = PositionToFen() + " depth " + std::to_string(depth);

      bestMove = NO_MOVE;
      int plain = PlainSearch(-SCORE_INF, SCORE_INF, depth);
      Move plainMove = bestMove;
      bestMove = NO_MOVE;
      int fast = Search(-SCORE_INF, SCORE_INF, depth);
      EXPECT_EQ(fast, plain) << where;
      EXPECT_EQ(MoveToString(bestMove), MoveToString(plainMove)) << where;
      EXPECT_TRUE(SamePosition(pos, before)) << where;

      // Inside a tree every node is called with some window; the values must agree in any.
      for (int w = 0; w < 2; ++w) {
        int alpha = static_cast<int>(rng() % 31) - 15;
        int beta = alpha + 1 + static_cast<int>(rng() % (w ? 12 : 2));
        if (rng() % 10 == 0) {  // mate scores
          alpha = -SCORE_INF;
          beta = -SCORE_INF + 1200;
        }
        int windowDepth = 1 + static_cast<int>(rng() % 4);
        EXPECT_EQ(Search(alpha, beta, windowDepth), PlainSearch(alpha, beta, windowDepth))
            << PositionToFen() << " window " << alpha << " " << beta << " depth " << windowDepth;
      }
      return !HasFailure();
    });
    if (HasFailure()) break;
  }
}

INSTANTIATE_TEST_SUITE_P(Shards, Differential, testing::Range(0, SHARDS));
