// chess-uci as a GUI runs it, a process behind pipes: each answer arrives while the GUI keeps the
// pipe open, over-long input is survived, and quit or the end of input ends it with status 0.
#include <chrono>
#include <cstdio>
#include <sstream>

#include "../game/process.h"

namespace {

// Writes all of text to the engine's standard input.
void Send(Child& engine, const std::string& text) {
  for (std::size_t sent = 0; sent < text.size();) {
    ssize_t n = write(engine.in.write.fd, text.data() + sent, text.size() - sent);
    ASSERT_GT(n, 0) << "the engine stopped reading";
    sent += static_cast<std::size_t>(n);
  }
}

// Reads the engine's output until what came ends with marker. An engine that has not sent it
// within ms has failed the test and is killed, so that no wait for its end hangs.
std::string ReadUntil(Child& engine, const std::string& marker, int ms = TIMEOUT_MS) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  std::string got;
  while (!got.ends_with(marker)) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    std::string more = left.count() > 0 ? ReadFor(engine.out.read.fd, 1, left.count()) : "";
    if (more.empty()) {
      ADD_FAILURE() << "no " << marker << " within " << ms << " ms after: " << got;
      kill(engine.pid, SIGKILL);
      break;
    }
    got += more;
  }
  return got;
}

// Reads the engine's output up to the end of a bestmove line.
std::string ReadAnswer(Child& engine) {
  std::string got = ReadUntil(engine, "bestmove ");
  return got + ReadUntil(engine, "\n");
}

}  // namespace

TEST(UciProcess, AnswersEachCommandAtOnceAndEndsWithItsInput) {
  Child engine(CHESS_UCI_BIN, {});
  Send(engine, "uci\n");
  EXPECT_NE(ReadUntil(engine, "uciok\n").find("\noption name Depth type spin"), std::string::npos);
  // Ten megabytes in one line: read through and dropped, and the engine answers on.
  Send(engine, std::string(10 << 20, 'x') + "\r\nisready\n");
  EXPECT_EQ(ReadUntil(engine, "readyok\n"),
            "info string a line longer than 65536 bytes was ignored\nreadyok\n");
  engine.in.write.Close();
  Outcome end = engine.Finish();
  EXPECT_EQ(end.status, 0);
  EXPECT_EQ(end.out, "");
  EXPECT_EQ(end.err, "");
}

// Arguments other than --help and --version (which the manual-page test runs) are refused in one
// line with status 2, and none of them starts the protocol.
TEST(UciProcess, RefusesWrongArguments) {
  Fd devNull{OpenPath("/dev/null", O_RDONLY)};
  for (std::vector<const char*> args : {std::vector<const char*>{"uci\x1b"}, {"--help", "x"}}) {
    Outcome wrong = RunProgram(CHESS_UCI_BIN, args, devNull.fd);
    EXPECT_TRUE(IsRefusal(wrong, "chess-uci: ")) << wrong.status << " " << wrong.err;
  }
}

// A search that waits for stop: nothing but info lines until it comes, isready answered at once
// without ending it, then bestmove; a ponder search likewise until ponderhit, after which the
// clock rule ends it by itself; quit during a search ends the process while its input stays open.
TEST(UciProcess, ServesStopIsreadyPonderhitAndQuitDuringASearch) {
  Child engine(CHESS_UCI_BIN, {});
  Send(engine, "position startpos\ngo infinite\n");
  std::string got = ReadUntil(engine, "info depth 7 ");  // well into the search
  Send(engine, "isready\n");
  got += ReadUntil(engine, "readyok\n");
  EXPECT_EQ(got.find("bestmove"), std::string::npos) << got;
  // Still searching: the next depth comes, and only stop brings the answer.
  got = ReadUntil(engine, "\n");
  Send(engine, "position fen k7/8/2K5/8/8/8/8/7R w - - 0 1\nstop\n");
  got += ReadAnswer(engine);
  EXPECT_NE(got.find("bestmove a2a3 ponder "), std::string::npos) << got;
  // The position sent during the search was kept for after it.
  Send(engine, "go depth 4\n");
  EXPECT_NE(ReadUntil(engine, "\nbestmove c6c7 ponder a8a7\n").find(" score mate 2 "),
            std::string::npos);
  // Pondering on fake clocks: no answer before ponderhit, then one within the clock rule.
  Send(engine, "position startpos\ngo ponder wtime 2000 btime 2000\n");
  got = ReadUntil(engine, "info depth 7 ");
  EXPECT_EQ(got.find("bestmove"), std::string::npos) << got;
  Send(engine, "ponderhit\n");
  ReadAnswer(engine);
  // quit in the middle of a search.
  Send(engine, "go infinite\n");
  ReadUntil(engine, "info depth 6 ");
  Send(engine, "quit\n");
  Outcome end = engine.Finish();
  EXPECT_EQ(end.status, 0);
  EXPECT_EQ(end.out.find("bestmove"), std::string::npos) << end.out;
  EXPECT_EQ(end.err, "");
}

// A go sent while a search waits for stop ends that search, which answers first as if stopped,
// and hides nothing behind it: isready is answered and quit ends the process while the input
// stays open; after a ponder search's answer the position is set up and the go's own search
// answered, and the end of input ends the process. All of it at once: ANSWER_MS only bounds the
// wait on a loaded machine.
TEST(UciProcess, AGoEndsASearchThatWaitsForStop) {
  constexpr int ANSWER_MS = 10000;
  Child infinite(CHESS_UCI_BIN, {});
  Send(infinite, "go infinite\ngo depth 1\nisready\nquit\n");
  ReadUntil(infinite, "readyok\n", ANSWER_MS);
  Outcome end = infinite.Finish();
  EXPECT_TRUE(end.status == 0 && end.err.empty()) << end.status << end.err;

  Child ponder(CHESS_UCI_BIN, {});
  Send(ponder, "go ponder\nposition startpos moves e2e4\ngo depth 1\n");
  ponder.in.write.Close();
  std::string got = ReadUntil(ponder, "\nbestmove b8a6\n", ANSWER_MS);
  std::size_t first = got.find("bestmove ");  // a white move, then only the answer after e2e4
  EXPECT_TRUE(std::string("12").find(got[first + 10]) != std::string::npos &&
              got.find("\nbestmove", first) == got.rfind("\nbestmove"))
      << got;
  end = ponder.Finish();
  EXPECT_TRUE(end.status == 0 && end.out.empty()) << end.status << end.out;
}

// The clock as a GUI sees it, with bounds wide enough for a loaded machine and the sanitizer
// builds. go movetime answers after its time less the overhead and not long after it: from the
// start a depth is always running then (depth 11 alone takes seconds), and it is abandoned. Once
// the think has run a second the nodes and time come about once a second, and the root's moves as
// they begin, numbered in turn; isready is answered among them, a line of its own. With little
// time left no answer oversteps the clock.
TEST(UciProcess, KeepsToTheClockAndTellsProgress) {
  using Clock = std::chrono::steady_clock;
  constexpr int MOVE_MS = 2000, OVERHEAD_MS = 10, MARGIN_MS = 1500, LITTLE_MS = 300;
  auto since = [](Clock::time_point sent) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
  };
  // Returns the progress lines of a think's output, {nodes lines, currmove lines}, checking each.
  auto progressOf = [](const std::string& got) {
    std::istringstream lines(got);
    int depth = 0, number = 0, d = 0, n = 0, time = 0, nodes = 0, moves = 0;
    char move[8];
    for (std::string line; std::getline(lines, line);) {
      const char* text = line.c_str();
      if (std::sscanf(text, "info nodes %*s nps %*s time %d", &time) == 1) {
        EXPECT_GE(time, 1000) << line;
        ++nodes;
      } else if (std::sscanf(text, "info depth %d currmove %7s currmovenumber %d", &d, move, &n) ==
                 3) {
        EXPECT_TRUE(d == depth + 1 && (number == 0 || n == number + 1)) << line << "\n" << got;
        number = n;
        ++moves;
      } else if (std::sscanf(text, "info depth %d", &depth) == 1) {
        number = 0;
      }
    }
    return std::pair{nodes, moves};
  };
  Child engine(CHESS_UCI_BIN, {});
  auto sent = Clock::now();
  Send(engine, "go movetime " + std::to_string(MOVE_MS) + "\n");
  std::string got = ReadUntil(engine, "info nodes ", 2 * MOVE_MS);
  Send(engine, "isready\n");
  got += ReadAnswer(engine);
  long long took = since(sent);
  EXPECT_TRUE(took >= MOVE_MS - OVERHEAD_MS && took < MOVE_MS + MARGIN_MS) << took;
  EXPECT_TRUE(progressOf(got).first <= MOVE_MS / 1000 && got.find("\nreadyok\n") != got.npos)
      << got;
  // The root's moves are told, however slow the machine, until stop.
  Send(engine, "go infinite\n");
  got = ReadUntil(engine, " currmovenumber ", 60000);
  got += ReadUntil(engine, "\n");
  Send(engine, "stop\n");
  got += ReadAnswer(engine);
  EXPECT_GE(progressOf(got).second, 1) << got;
  // Little time left: the clock rule keeps a cushion.
  std::string moves;
  for (const char* move : {"a2a3", "b8a6", "c2c3", "a8b8", "a3a4", "b8a8", "d2d4", "a8b8"}) {
    moves += std::string(" ") + move;
    sent = Clock::now();
    Send(engine, "position startpos moves" + moves + "\ngo wtime " + std::to_string(LITTLE_MS) +
                     " btime " + std::to_string(LITTLE_MS) + "\n");
    ReadAnswer(engine);
    EXPECT_LT(since(sent), LITTLE_MS) << moves;
  }
}
