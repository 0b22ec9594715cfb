// chess-uci as a GUI runs it, a process behind pipes: each answer arrives while the GUI keeps the
// pipe open, over-long input is survived, and quit or the end of input ends it with status 0.
#include "../game/process.h"

namespace {

// Writes all of text to fd.
void Send(int fd, const std::string& text) {
  for (std::size_t sent = 0; sent < text.size();) {
    ssize_t n = write(fd, text.data() + sent, text.size() - sent);
    ASSERT_GT(n, 0) << "the engine stopped reading";
    sent += static_cast<std::size_t>(n);
  }
}

// Reads from fd until what came ends with marker, or until TIMEOUT_MS pass without data.
std::string ReadUntil(int fd, const std::string& marker) {
  std::string got;
  while (!got.ends_with(marker)) {
    std::string more = ReadFor(fd, 1, TIMEOUT_MS);
    if (more.empty()) {
      ADD_FAILURE() << "no " << marker << " after: " << got;
      break;
    }
    got += more;
  }
  return got;
}

// Reads from fd up to the end of a bestmove line.
std::string ReadAnswer(int fd) {
  std::string got = ReadUntil(fd, "\n");
  while (got.find("bestmove") == std::string::npos && !testing::Test::HasFailure())
    got += ReadUntil(fd, "\n");
  return got;
}

// Starts chess-uci behind pipes and returns its pid; the pipes keep our ends.
pid_t StartEngine(Pipe& in, Pipe& out, Pipe& err) {
  pid_t pid = StartProgram(CHESS_UCI_BIN, {}, {in.read.fd, out.write.fd, err.write.fd});
  in.read.Close();
  out.write.Close();
  err.write.Close();
  return pid;
}

}  // namespace

TEST(UciProcess, AnswersEachCommandAtOnceAndEndsWithQuitOrItsInput) {
  Pipe in, out, err;
  pid_t pid = StartEngine(in, out, err);
  Send(in.write.fd, "uci\n");
  EXPECT_NE(ReadUntil(out.read.fd, "uciok\n").find("\noption name Depth type spin"),
            std::string::npos);
  Send(in.write.fd, "isready\n");
  EXPECT_EQ(ReadUntil(out.read.fd, "readyok\n"), "readyok\n");
  Send(in.write.fd, "position startpos\ngo depth 6\n");
  std::string answer = ReadAnswer(out.read.fd);
  EXPECT_NE(answer.find(" score cp -100 "), std::string::npos) << answer;
  EXPECT_NE(answer.find("\nbestmove a2a3 ponder "), std::string::npos) << answer;
  // Ten megabytes in one line: read through and dropped, and the engine answers on.
  Send(in.write.fd, std::string(10 << 20, 'x') + "\r\nisready\n");
  EXPECT_EQ(ReadUntil(out.read.fd, "readyok\n"),
            "info string a line longer than 65536 bytes was ignored\nreadyok\n");
  in.write.Close();
  Outcome end = Finish(pid, out.read.fd, err.read.fd);
  EXPECT_EQ(end.status, 0);
  EXPECT_EQ(end.out, "");
  EXPECT_EQ(end.err, "");

  // quit ends it while its input stays open.
  Pipe in2, out2, err2;
  pid = StartEngine(in2, out2, err2);
  Send(in2.write.fd, "isready\nquit\n");
  end = Finish(pid, out2.read.fd, err2.read.fd);
  EXPECT_EQ(end.status, 0);
  EXPECT_EQ(end.out, "readyok\n");
}

// Arguments are for people: --help and --version answer and exit 0, anything else is refused in
// one line with status 2; none of them starts the protocol.
TEST(UciProcess, HelpVersionAndWrongArguments) {
  Fd devNull{OpenPath("/dev/null", O_RDONLY)};
  Outcome help = RunProgram(CHESS_UCI_BIN, {"--help"}, devNull.fd);
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: chess-uci ")) << help.out;
  EXPECT_EQ(help.err, "");
  Outcome version = RunProgram(CHESS_UCI_BIN, {"--version"}, devNull.fd);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "chess-uci " CHESS_VERSION "\n");
  for (std::vector<const char*> args : {std::vector<const char*>{"uci"}, {"--help", "x"}}) {
    Outcome wrong = RunProgram(CHESS_UCI_BIN, args, devNull.fd);
    EXPECT_EQ(wrong.status, 2) << args[0];
    EXPECT_EQ(wrong.out, "") << args[0];
    EXPECT_TRUE(wrong.err.starts_with("chess-uci: ") &&
                wrong.err.find('\n') == wrong.err.size() - 1)
        << wrong.err;
  }
}

// A search that waits for stop: nothing but info lines until it comes, isready answered at once
// without ending it, then bestmove; a ponder search likewise until ponderhit, after which the
// clock rule ends it by itself; quit during a search ends the process.
TEST(UciProcess, ServesStopIsreadyPonderhitAndQuitDuringASearch) {
  Pipe in, out, err;
  pid_t pid = StartEngine(in, out, err);
  Send(in.write.fd, "position startpos\ngo infinite\n");
  std::string got = ReadUntil(out.read.fd, "info depth 7 ");  // well into the search
  Send(in.write.fd, "isready\n");
  got += ReadUntil(out.read.fd, "readyok\n");
  EXPECT_EQ(got.find("bestmove"), std::string::npos) << got;
  // Still searching: the next depth comes, and only stop brings the answer.
  got = ReadUntil(out.read.fd, "\n");
  Send(in.write.fd, "position fen k7/8/2K5/8/8/8/8/7R w - - 0 1\nstop\n");
  got += ReadAnswer(out.read.fd);
  EXPECT_NE(got.find("bestmove a2a3 ponder "), std::string::npos) << got;
  // The position sent during the search was kept for after it.
  Send(in.write.fd, "go depth 4\n");
  EXPECT_NE(ReadUntil(out.read.fd, "\nbestmove c6c7 ponder a8a7\n").find(" score mate 2 "),
            std::string::npos);
  // Pondering on fake clocks: no answer before ponderhit, then one within the clock rule.
  Send(in.write.fd, "position startpos\ngo ponder wtime 2000 btime 2000\n");
  got = ReadUntil(out.read.fd, "info depth 7 ");
  Send(in.write.fd, "ponderhit\n");
  got += ReadAnswer(out.read.fd);
  EXPECT_NE(got.find("bestmove "), std::string::npos) << got;
  // quit in the middle of a search.
  Send(in.write.fd, "go infinite\n");
  ReadUntil(out.read.fd, "info depth 6 ");
  Send(in.write.fd, "quit\n");
  Outcome end = Finish(pid, out.read.fd, err.read.fd);
  EXPECT_EQ(end.status, 0);
  EXPECT_EQ(end.out.find("bestmove"), std::string::npos) << end.out;
  EXPECT_EQ(end.err, "");
}
