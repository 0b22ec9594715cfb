// The search's contract, checked on both the game's search and the plain reference search.
#include "engine/search.h"

#include "engine/reference/plain_search.h"
#include "test_util.h"

namespace {

using SearchFunction = SearchResult (*)(int alpha, int beta, int depth);
const std::pair<const char*, SearchFunction> SEARCHES[] = {
    {"fast", [](int alpha, int beta, int depth) { return Search(alpha, beta, depth); }},
    {"plain", PlainSearch}};

// Runs a root search with the full window unless told otherwise.
SearchResult Root(SearchFunction search, int depth, int alpha = -SCORE_INF, int beta = SCORE_INF) {
  return search(alpha, beta, depth);
}

}  // namespace

TEST(Search, MatesStalematesAndLeaves) {
  for (const auto& [name, search] : SEARCHES) {
    // Mate in one after two moves of history: 10000 - (L + 1), the first mating move generated.
    SetFen("7k/5ppp/8/8/8/8/5PPP/R2R3K w - - 0 1");
    ASSERT_TRUE(MakeMove(FindMove("h1g1")));
    ASSERT_TRUE(MakeMove(FindMove("h8g8")));
    const Position before = pos;
    for (int depth : {2, 4}) {
      SearchResult searched = Root(search, depth);
      EXPECT_EQ(searched.score, SCORE_INF - 3) << name << depth;
      EXPECT_EQ(MoveToString(searched.move), "a1a8") << name << depth;
    }
    EXPECT_TRUE(SamePosition(pos, before)) << name;

    // No legal move: mate scores historyLength - 10000, stalemate 0; depth 0 is the material
    // alone, even in check.
    SetFen("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    SearchResult mated = Root(search, 1);
    EXPECT_EQ(mated.score, -SCORE_INF) << name;
    EXPECT_EQ(mated.move, NO_MOVE);
    EXPECT_EQ(Root(search, 0).score, -9) << name;
    SetFen("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    SearchResult stalemate = Root(search, 3);
    EXPECT_EQ(stalemate.score, 0) << name;
    EXPECT_EQ(stalemate.move, NO_MOVE);
  }
}

// A node whose halfmove clock has reached 100 and which has a legal move scores 0 whatever the
// window, even where a move would reach beta first.
TEST(Search, FiftyMoveNodeScoresZeroInAnyWindow) {
  for (const auto& [name, search] : SEARCHES) {
    SetFen("4k3/8/8/8/8/8/q7/R3K3 w - - 100 1");  // white wins the queen at once
    for (auto [alpha, beta] :
         {std::pair{-SCORE_INF, SCORE_INF}, {-20, -10}, {-3, 2}, {2, 5}, {7, 8}, {20, 30}}) {
      EXPECT_EQ(Root(search, 3, alpha, beta).score, 0) << name << " " << alpha << " " << beta;
      EXPECT_EQ(Root(search, 2, alpha, beta).score, 0) << name;
    }
    EXPECT_EQ(Root(search, 0, 2, 5).score, -4) << name;  // a leaf is its material, unclamped
  }
}
