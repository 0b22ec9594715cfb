// PGN: move numbers and line filling. (That a standard reader loads our PGN, replays it and
// reads its result is tests/pgn/replay_test.js.)
#include "game/pgn.h"

#include <gtest/gtest.h>

// A game from a set-up position with black to move: SetUp and FEN tags after the roster, "17..."
// before black's first move, and lines filled up to the limit without splitting a move from its
// number.
TEST(Pgn, SetUpPositionAndLineFilling) {
  PgnGame game;
  game.startFen = "4k3/8/8/8/8/8/8/4K3 b - - 0 17";
  game.firstMoveNumber = 17;
  game.firstSide = BLACK;
  for (int i = 0; i < 40; ++i) game.moves.push_back(i % 2 ? "Kd1" : "Kd8");
  std::string text = FormatPgn(game);
  EXPECT_NE(text.find("[Result \"*\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 17\"]\n\n"
                      "17... Kd8 18. Kd1 Kd8 19. Kd1"),
            std::string::npos)
      << text;
  std::size_t movetext = text.find("\n\n") + 2, longest = 0;
  for (std::size_t start = movetext, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    std::string line = text.substr(start, end - start);
    longest = std::max(longest, line.size());
    EXPECT_NE(line.back(), '.') << "a move number ends a line: " << line;
  }
  EXPECT_GT(longest, PGN_LINE_LIMIT - 8);
  EXPECT_LE(longest, PGN_LINE_LIMIT);
}
