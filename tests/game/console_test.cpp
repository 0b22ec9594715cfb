// Runs console_probe as a real process on pipes, /dev/full, closed descriptors and a
// pseudo-terminal, and checks the bytes it delivers, its reports and its exit statuses.
#include <stdlib.h>
#include <termios.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "process.h"

namespace {

// Returns what "lines count" writes.
std::string Lines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i)
    text += "line " + std::to_string(i) + " of " + std::to_string(count) + "\r\n";
  return text;
}

// Tells whether text is exactly one report of status with an upper-case hex address of the form
// 004XXXXX: an offset in the program's image from 0x400000.
bool IsReport(const std::string& text, int status) {
  char head[32];
  std::snprintf(head, sizeof head, "Runtime error %3d at 004", status);
  return text.size() == 31 && text.starts_with(head) && text.ends_with("\r\n") &&
         std::strspn(text.c_str() + 24, "0123456789ABCDEF") == 5;
}

// Runs the probe with standard input in and output out.
Outcome RunProbe(const std::vector<const char*>& args, int in, int out = CAPTURE) {
  return RunProgram(CONSOLE_PROBE_BIN, args, in, out);
}

const std::string SHADE = "\xB0\xDB|\xB0\xDB|\r\n";

TEST(ConsoleTest, PipeOutputIsExactAndTheWaitEnds) {
  Fd devNull{OpenPath("/dev/null", O_RDONLY)};
  // Enough lines to fill the block several times; the block edges must not lose or repeat bytes.
  Outcome run = RunProbe({"lines", "1000", "shade", "read", "exit", "7"}, devNull.fd);
  EXPECT_EQ(run.status, 7);
  EXPECT_TRUE(run.out == Lines(1000) + SHADE);
  EXPECT_EQ(run.err, "");
}

TEST(ConsoleTest, FailuresReportAndExitWithTheErrorNumber) {
  Fd devNull{OpenPath("/dev/null", O_RDONLY)}, devFull{OpenPath("/dev/full", O_WRONLY)};
  Outcome run = RunProbe({"lines", "3"}, devNull.fd, devFull.fd);
  EXPECT_EQ(run.status, ENOSPC);
  EXPECT_TRUE(IsReport(run.err, ENOSPC)) << run.err;
  // The address names the statement that failed, wherever the system loaded the program.
  EXPECT_EQ(RunProbe({"lines", "3"}, devNull.fd, devFull.fd).err, run.err);

  run = RunProbe({"lines", "1"}, devNull.fd, CLOSED);
  EXPECT_EQ(run.status, 105);
  EXPECT_TRUE(IsReport(run.err, 105)) << run.err;

  // Input failures: the output so far is delivered, then the report, all on standard output.
  Fd directory{OpenPath("/", O_RDONLY)};
  for (const auto& [in, status] : {std::pair{CLOSED, 104}, std::pair{directory.fd, EISDIR}}) {
    run = RunProbe({"lines", "3", "read"}, in);
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.out.substr(0, Lines(3).size()), Lines(3));
    EXPECT_TRUE(IsReport(run.out.substr(Lines(3).size()), status)) << run.out;
    EXPECT_EQ(run.err, "");
  }

  // A reader that leaves early: the probe must see EPIPE, not die of SIGPIPE.
  Child probe(CONSOLE_PROBE_BIN, {"lines", "30000"}, devNull.fd);
  EXPECT_EQ(ReadFor(probe.out.read.fd, 1000, TIMEOUT_MS), Lines(30000).substr(0, 1000));
  probe.out.read.Close();
  run = probe.Finish();
  EXPECT_EQ(run.status, EPIPE);
  EXPECT_TRUE(IsReport(run.err, EPIPE)) << run.err;
}

// The writer stays open, so only the LF or the 0x1A can end the wait.
TEST(ConsoleTest, ReadLineWaitsForLineFeedOrEndByteWithoutFlushing) {
  for (const char* end : {"x\n", "b\x1A"}) {
    Child probe(CONSOLE_PROBE_BIN, {"lines", "2", "read"});
    // Still running and nothing flushed: neither output nor end of output arrives.
    for (const std::string input : {"", "a\r"}) {
      ASSERT_EQ(write(probe.in.write.fd, input.data(), input.size()), ssize_t(input.size()));
      pollfd watch{probe.out.read.fd, POLLIN, 0};
      EXPECT_EQ(poll(&watch, 1, QUIET_MS), 0) << "after '" << input << "'";
    }
    ASSERT_EQ(write(probe.in.write.fd, end, 2), 2);
    const Outcome run = probe.Finish();
    EXPECT_EQ(run.status, 0) << end;
    EXPECT_EQ(run.out, Lines(2)) << end;
  }
}

TEST(ConsoleTest, TerminalShowsEachStatementAtOnceInUtf8) {
  Fd master{posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)};
  ASSERT_GE(master.fd, 0);
  ASSERT_EQ(grantpt(master.fd), 0);
  ASSERT_EQ(unlockpt(master.fd), 0);
  Fd slave{OpenPath(ptsname(master.fd), O_RDWR | O_NOCTTY)};
  termios mode{};
  ASSERT_EQ(tcgetattr(slave.fd, &mode), 0);
  cfmakeraw(&mode);  // the terminal must pass the probe's bytes as they are
  ASSERT_EQ(tcsetattr(slave.fd, TCSANOW, &mode), 0);

  Child probe(CONSOLE_PROBE_BIN, {"shade", "lines", "1", "read"}, CAPTURE, slave.fd);
  slave.Close();
  // Everything shows while the probe still waits for its line.
  const std::string shown = "\xE2\x96\x91\xE2\x96\x88|\xE2\x96\x91\xE2\x96\x88|\r\n" + Lines(1);
  EXPECT_EQ(ReadFor(master.fd, shown.size(), TIMEOUT_MS), shown);
  ASSERT_EQ(write(probe.in.write.fd, "\n", 1), 1);
  const Outcome run = Finish(probe.pid, master.fd, probe.err.read.fd);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

}  // namespace
