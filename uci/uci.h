// The engine's side of the Universal Chess Interface, over any pair of streams, so that GUIs and
// match runners can play it and the tests can drive it in memory.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

#include "engine/think.h"

constexpr int UCI_MIN_DEPTH = 1;
constexpr int UCI_MAX_DEPTH = 10;  // for the Depth option; "go depth" reaches MAX_THINK_DEPTH
constexpr int DEFAULT_MOVE_OVERHEAD = 10;  // milliseconds kept back for the GUI's own delays
constexpr int MAX_MOVE_OVERHEAD = 5000;
// A command line longer than this is ignored whole (with a report): the longest real one, a
// position with the moves of a very long game, is a few thousand bytes.
constexpr std::size_t UCI_MAX_LINE = 1 << 16;

// Reads one line from in into line, without its end (LF, or CR LF); a line longer than
// UCI_MAX_LINE is read to its end but kept empty, with tooLong set. Returns false at end of input
// with nothing read.
bool ReadUciLine(std::istream& in, std::string& line, bool& tooLong);

// How long one move may take on the clock: no new depth is started once `budget` has passed,
// and a running depth is abandoned at `hardLimit`.
struct MoveTime {
  std::chrono::milliseconds budget, hardLimit;
};

// The clock rule. Of the mover's remaining time, less the move overhead, a move may use a share
// (a thirtieth, or with movesToGo moves left to the next time control one part in movesToGo + 1,
// whichever is larger) plus three quarters of the increment: that is its target. A new depth
// starts only within the first third of the target, and a running one is abandoned at three
// times the target, never later than a quarter of the remaining time less the overhead.
MoveTime ClockBudget(long long remaining, long long increment, int movesToGo, int moveOverhead);

// Runs a whole session: commands from in until "quit" or end of input. While it searches it goes
// on reading: "stop", "ponderhit", "isready" and "quit" are served at once, and every other
// command waits until the search has answered. Returns 0, or 1 when out could no longer be
// written.
int RunUci(std::istream& in, std::ostream& out);
