// The game's search against the plain reference search, on positions from random games: the
// same root score and chosen move with the full window and in random windows.
//
// The plain search's cost varies a thousandfold between positions: among rooks and queens, above
// all where pawns promote, most moves give check and every check extends the search by a ply (a
// few such positions at depth 5 or 6 took most of the time). So each position is compared depth
// by depth up to its chosen depth while the plain search stays within a node budget, and the
// positions are dealt out to the shards in turn, so that the shards cost about the same.
#include <algorithm>
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
constexpr int SHARDS = 20;
// The plain search's nodes beyond which a position is not searched a ply deeper.
constexpr std::uint64_t NODE_BUDGET = 200000;

class Differential : public testing::TestWithParam<int> {};

// Runs both searches in the window to depth, expects the same score and move, and returns the
// plain search's node count.
std::uint64_t ExpectSameResult(int alpha, int beta, int depth, const std::string& where) {
  SearchResult plain = PlainSearch(alpha, beta, depth);
  SearchResult fast = Search(alpha, beta, depth);
  EXPECT_EQ(fast.score, plain.score) << where;
  EXPECT_EQ(MoveToString(fast.move), MoveToString(plain.move)) << where;
  return plain.nodes;
}

// Compares the two searches on the current position; rng draws the depth and the windows.
void Compare(std::mt19937& rng) {
  // Mostly shallow searches; depth 6 in small positions.
  int depth = 1 + static_cast<int>(rng() % 5);
  if (depth == 5 && rng() % 3) depth = 3;
  bool fewPieces = pos.material > -12 && pos.material < 12 &&
                   std::popcount(pos.occupied[0] | pos.occupied[1]) < 12;
  if (fewPieces && rng() % 8 == 0) depth = 6;
  const Position before = pos;

  // Depth by depth, while the next ply, costing about as many times more as the last one did,
  // stays within the budget.
  std::uint64_t previous = 1;
  int reached = 0;
  bool affordable = true;
  while (reached < depth && affordable) {
    std::string where = PositionToFen() + " depth " + std::to_string(++reached);
    std::uint64_t nodes = ExpectSameResult(-SCORE_INF, SCORE_INF, reached, where);
    affordable = nodes * nodes / previous <= NODE_BUDGET;
    previous = nodes;
    EXPECT_TRUE(SamePosition(pos, before)) << where;
  }

  // Inside a tree every node is called with some window; the values must agree in any.
  for (int w = 0; w < 2; ++w) {
    int alpha = static_cast<int>(rng() % 31) - 15;
    int beta = alpha + 1 + static_cast<int>(rng() % (w ? 12 : 2));
    if (rng() % 10 == 0) {  // mate scores
      alpha = -SCORE_INF;
      beta = -SCORE_INF + 1200;
    }
    int windowDepth = 1 + static_cast<int>(rng() % 4);
    if (!affordable) windowDepth = std::min(windowDepth, reached);
    ExpectSameResult(alpha, beta, windowDepth,
                     PositionToFen() + " window " + std::to_string(alpha) + " " +
                         std::to_string(beta) + " depth " + std::to_string(windowDepth));
  }
}

}  // namespace

// Every shard walks the same random games and compares every SHARDS-th position of them.
TEST_P(Differential, FastSearchMatchesPlainSearch) {
  const int shard = GetParam();
  int position = 0;
  for (int game = 0; position < POSITIONS && !HasFailure(); ++game) {
    std::mt19937 moves(2026 + game);
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], moves, 40, [&] {
      if (position % SHARDS == shard) {
        std::mt19937 rng(position);
        Compare(rng);
      }
      return ++position < POSITIONS && !HasFailure();
    });
  }
}

INSTANTIATE_TEST_SUITE_P(Shards, Differential, testing::Range(0, SHARDS));
