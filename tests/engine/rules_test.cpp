// The rules beyond single moves: repetitions, the fifty-move limit and the game's verdict.
#include "engine/rules.h"

#include <algorithm>
#include <vector>

#include "test_util.h"

namespace {

// Makes the named moves in turn; returns RepetitionCount after each.
std::vector<int> CountsAfter(const std::vector<const char*>& moves) {
  std::vector<int> counts;
  for (const char* name : moves) {
    Move move = FindMove(name);
    EXPECT_TRUE(move != NO_MOVE && MakeMove(move)) << name;
    counts.push_back(RepetitionCount());
  }
  return counts;
}

}  // namespace

TEST(Rules, Repetitions) {
  // The position after g1f3 recurs at plies 1, 5 and 9; the starting placement, not stored,
  // never reaches 3.
  InitPosition();
  EXPECT_EQ(CountsAfter({"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8", "g1f3"}),
            (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 3}));
  EXPECT_EQ(GameVerdict(), DRAW_BY_REPETITION);
  // The history holds the 32-bit fingerprint of each position: after g1f3, then after g8f6.
  EXPECT_EQ(pos.history[0], 0xFC0000B4u);
  EXPECT_EQ(pos.history[1], 0xFC000076u);

  // The position made by a pawn move lies outside the window, so the draw comes through g1f3.
  InitPosition();
  EXPECT_EQ(CountsAfter({"e2e3", "e7e6", "g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1",
                         "f6g8", "g1f3"}),
            (std::vector<int>{0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3}));

  // A king triangle gives the same boards with the other side to move (the same fingerprints by
  // ply 13); the count compares whole positions, and none has occurred more than twice.
  SetFen("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
  std::vector<int> counts = CountsAfter({"e1d1", "e8d8", "d1d2", "d8e8", "d2e1", "e8d8", "e1d1",
                                         "d8e8", "d1d2", "e8d8", "d2e1", "d8e8", "e1d1"});
  EXPECT_EQ(*std::max_element(counts.begin(), counts.end()), 2);
  EXPECT_EQ(GameVerdict(), PLAY_ON);
}

TEST(Rules, Verdicts) {
  struct Case {
    const char* fen;
    Verdict verdict;
  };
  const Case cases[] = {
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", CHECKMATE},
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", STALEMATE},
      {"k1K5/1n6/8/1N6/8/8/8/7B b - - 0 1", STALEMATE},  // only a pinned knight has a square
      {"4k3/8/8/8/8/8/8/R3K3 w - - 99 1", PLAY_ON},
      {"4k3/8/8/8/8/8/8/R3K3 w - - 100 1", DRAW_BY_FIFTY_MOVES},
      // The draw comes first: a mate on the hundredth ply is a draw in this game.
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 100 1", DRAW_BY_FIFTY_MOVES},
  };
  for (const Case& c : cases) {
    SetFen(c.fen);
    EXPECT_EQ(GameVerdict(), c.verdict) << c.fen;
  }
  SetFen("4k3/8/8/8/8/8/8/R3K3 w - - 98 1");
  EXPECT_FALSE(FiftyMoveLimitWithin(1));
  EXPECT_TRUE(FiftyMoveLimitWithin(2));
}
