// The game driver: the fifty-move draw, and the whole game as a real process against the
// committed transcript.
#include "game/driver.h"

#include <fstream>
#include <iterator>

#include "../engine/test_util.h"
#include "process.h"

// The fifty-move draw comes with the move that brings the clock to 100.
TEST(Driver, FiftyMoveDrawEndsTheTurn) {
  SetFen("4k3/8/8/8/8/8/8/R3K3 w - - 99 1");
  Turn turn = TakeTurn();
  EXPECT_EQ(turn.verdict, DRAW_BY_FIFTY_MOVES);
  EXPECT_EQ(pos.halfmoveClock, 100);
}

// The program as a user runs it: the committed transcript byte for byte, and its end without
// input.
TEST(Driver, WholeGameAsProcess) {
  std::ifstream file(FIXTURE_DIR "/game.out", std::ios::binary);
  const std::string fixture{std::istreambuf_iterator<char>(file), {}};
  ASSERT_GT(fixture.size(), 1000u);
  Fd devNull{OpenPath("/dev/null", O_RDONLY)};
  Outcome run = RunProgram(CHESS_BIN, {}, devNull.fd);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out == fixture) << "the transcript differs from the fixture";
  EXPECT_EQ(run.err, "");

  // The console layer's failures are tested on their own (console_test.cpp); here, that the game
  // goes through them.
  run = RunProgram(CHESS_BIN, {}, CLOSED);
  EXPECT_EQ(run.status, 104);
  EXPECT_EQ(run.out.substr(0, fixture.size()), fixture);
  EXPECT_EQ(run.out.substr(fixture.size(), 21), "Runtime error 104 at ");
}
