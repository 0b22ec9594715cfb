// The game driver: repetitions, the fifty-move draw, the opening as printed, and the whole game
// as a real process against the committed transcript.
#include "game/driver.h"

#include <fstream>
#include <sstream>

#include "../engine/test_util.h"
#include "capture.h"
#include "engine/attack.h"
#include "engine/makemove.h"
#include "game/board.h"
#include "process.h"

namespace {

// The committed transcript of the whole game.
std::string Fixture() {
  std::ifstream in(FIXTURE_DIR "/game.out", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

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

// The count the 32-bit hash history gives: entries since the last capture or pawn move equal to
// the current hash. It can count different positions that share a hash.
int HashRepetitionCount() {
  int n = std::min(pos.halfmoveClock, pos.historyLength), count = 0;
  for (int k = pos.historyLength - n; k < pos.historyLength; ++k)
    count += pos.history[k] == pos.hash;
  return count;
}

}  // namespace

TEST(Driver, Repetitions) {
  // The position after g1f3 recurs at plies 1, 5 and 9; the starting placement, not stored,
  // never reaches 3.
  InitPosition();
  EXPECT_EQ(CountsAfter({"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8", "g1f3"}),
            (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 3}));

  // The position made by a pawn move lies outside the window, so the draw comes through g1f3.
  InitPosition();
  EXPECT_EQ(CountsAfter({"e2e3", "e7e6", "g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1",
                         "f6g8", "g1f3"}),
            (std::vector<int>{0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3}));

  // A king triangle gives the same boards with the other side to move: the hash, which ignores
  // the side and folds the board into eleven bits, counts a third occurrence by ply 13, where
  // no position has occurred more than twice.
  SetFen("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
  std::vector<int> counts = CountsAfter({"e1d1", "e8d8", "d1d2", "d8e8", "d2e1", "e8d8", "e1d1",
                                         "d8e8", "d1d2", "e8d8", "d2e1", "d8e8", "e1d1"});
  EXPECT_GE(HashRepetitionCount(), 3);
  EXPECT_EQ(*std::max_element(counts.begin(), counts.end()), 2);

  // The fifty-move draw comes with the move that brings the clock to 100.
  SetFen("4k3/8/8/8/8/8/8/R3K3 w - - 99 1");
  Turn turn = TakeTurn();
  EXPECT_EQ(turn.verdict, DRAW_BY_FIFTY_MOVES);
  EXPECT_EQ(pos.halfmoveClock, 100);
}

// The first plies through the driver's turn function print exactly what the game prints.
TEST(Driver, OpeningAsPrinted) {
  const char* opening[] = {"a2a3", "b8a6", "c2c3", "a8b8", "a3a4", "b8a8", "d2d4", "a8b8"};
  InitPosition();
  int fd = CaptureConsole();
  PrintBoard();
  for (const char* expected : opening) {
    ASSERT_TRUE(PlayTurn());
    EXPECT_EQ(MoveToString(bestMove), expected);
  }
  std::string printed = Captured(fd);
  close(fd);
  EXPECT_EQ(printed, Fixture().substr(0, printed.size()));
  EXPECT_EQ(printed.size(), 9 * (10 * 12 + 2u));  // nine diagrams and no check yet
}

// The whole game in-process: the strong-key repetition count agrees with the hash count at every
// ply, so mending the fingerprint's collisions changes nothing in this game.
TEST(Driver, WholeGameRepetitionsAreTrueOnes) {
  InitPosition();
  int plies = 0;
  for (;;) {
    Turn turn = TakeTurn();
    if (turn.move == NO_MOVE) break;
    ++plies;
    int hashCount = HashRepetitionCount();
    bool drawn = turn.verdict == DRAW_BY_FIFTY_MOVES || turn.verdict == DRAW_BY_REPETITION;
    ASSERT_EQ(pos.halfmoveClock >= 100 || hashCount >= 3, drawn) << plies;
    if (drawn) break;
  }
  EXPECT_GT(plies, 8);
}

// The program as a user runs it: the transcript byte for byte, and the exit statuses.
TEST(Driver, WholeGameAsProcess) {
  const std::string fixture = Fixture();
  ASSERT_GT(fixture.size(), 1000u);
  Fd devNull{OpenPath("/dev/null", O_RDONLY)};
  Outcome run = RunProgram(CHESS_BIN, {}, devNull.fd);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out == fixture) << "the transcript differs from the fixture";
  EXPECT_EQ(run.err, "");

  Fd devFull{OpenPath("/dev/full", O_WRONLY)};
  run = RunProgram(CHESS_BIN, {}, devNull.fd, devFull.fd);
  EXPECT_EQ(run.status, 28);
  EXPECT_EQ(run.err.substr(0, 21), "Runtime error  28 at ");

  run = RunProgram(CHESS_BIN, {}, CLOSED);
  EXPECT_EQ(run.status, 104);
  EXPECT_EQ(run.out.substr(0, fixture.size()), fixture);
  EXPECT_EQ(run.out.substr(fixture.size(), 21), "Runtime error 104 at ");
}
