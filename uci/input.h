// The engine's input: lines read on a thread of their own, so that a search can be told to stop
// while it runs, and kept in a queue until the protocol takes them.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>

// A command line longer than this is ignored whole (with a report): the longest real one, a
// position with the moves of a very long game, is a few thousand bytes.
constexpr std::size_t UCI_MAX_LINE = 1 << 16;

// Reads one line from in into line, without its end (LF, or CR LF); a line longer than
// UCI_MAX_LINE is read to its end but kept empty, with tooLong set. Returns false at end of input
// with nothing read.
bool ReadUciLine(std::istream& in, std::string& line, bool& tooLong);

// Returns the first word of a line (words are separated by blanks: space, tab, CR and the like),
// or "".
std::string CommandOf(const std::string& line);

struct InputLine {
  std::string text;
  bool tooLong = false;
  bool end = false;  // the end of input: nothing follows
  // When it was read: a GUI's clock runs from when it sent a go, however long the line waits.
  std::chrono::steady_clock::time_point read = std::chrono::steady_clock::now();
};

// The lines read but not yet carried out, shared between the reading thread, which adds them,
// and the protocol, which takes them. Whoever looks at lines holds mutex.
struct InputQueue {
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<InputLine> lines;
  std::atomic<bool> fresh{false};  // lines came since a search last looked

  // Adds a line and wakes the protocol.
  void Add(InputLine line);

  // Waits for a line and takes it.
  InputLine Take();

  // Waits until lines have come since fresh was last cleared.
  void WaitForFresh();
};

// The reading thread: adds every line of in to input, in order, then the end of input. It stops
// after "quit", so that the session can wait for it whatever the input still holds.
void ReadInput(std::istream& in, std::shared_ptr<InputQueue> input);
