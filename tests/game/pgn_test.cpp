// PGN: move numbers and line filling. (That a standard reader loads our PGN, replays it and
// reads its result is tests/pgn/replay_test.js.)
#include "game/pgn.h"

#include <gtest/gtest.h>

// A game from a set-up position with black to move: SetUp and FEN tags after the roster, "17..."
// before black's first move, and lines filled up to the limit (the third is 79 characters long)
// without splitting a move from its number.
TEST(Pgn, SetUpPositionAndLineFilling) {
  PgnGame game;
  game.startFen = "4k3/8/8/8/8/8/8/4K3 b - - 0 17";
  game.firstMoveNumber = 17;
  game.firstSide = BLACK;
  for (int i = 0; i < 40; ++i) game.moves.push_back(i % 2 ? "Kd1" : "Kd8");
  EXPECT_EQ(FormatPgn(game),
            "[Event \"chess self-play\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n"
            "[White \"chess\"]\n[Black \"chess\"]\n[Result \"*\"]\n[SetUp \"1\"]\n"
            "[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 17\"]\n\n"
            "17... Kd8 18. Kd1 Kd8 19. Kd1 Kd8 20. Kd1 Kd8 21. Kd1 Kd8 22. Kd1 Kd8 23. Kd1\n"
            "Kd8 24. Kd1 Kd8 25. Kd1 Kd8 26. Kd1 Kd8 27. Kd1 Kd8 28. Kd1 Kd8 29. Kd1 Kd8\n"
            "30. Kd1 Kd8 31. Kd1 Kd8 32. Kd1 Kd8 33. Kd1 Kd8 34. Kd1 Kd8 35. Kd1 Kd8 36. Kd1\n"
            "Kd8 37. Kd1 {Unfinished: stopped after 40 plies} *\n\n");
}

// Our rules judge the fifty-move draw before the mate: a move that mates as the halfmove clock
// reaches the limit is written as the check it also is, so that no reader takes it for the end.
TEST(Pgn, AMateThatTheFiftyMoveRuleOverrulesIsWrittenAsCheck) {
  PgnGame game{"7k/8/6K1/8/8/8/8/5Q2 w - - 99 80", 80, WHITE, {"Qf8#"}, DRAW_BY_FIFTY_MOVES, BLACK};
  EXPECT_TRUE(FormatPgn(game).ends_with(
      "\n\n80. Qf8+ {Draw by the fifty-move rule, judged before the mate} 1/2-1/2\n\n"))
      << FormatPgn(game);
}
