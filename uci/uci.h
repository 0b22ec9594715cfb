// The engine's side of the Universal Chess Interface, over any pair of streams, so that GUIs and
// match runners can play it and the tests can drive it in memory.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "engine/search.h"

constexpr int UCI_MIN_DEPTH = 1;
constexpr int UCI_MAX_DEPTH = 10;
// A command line longer than this is ignored whole (with a report): the longest real one, a
// position with the moves of a very long game, is a few thousand bytes.
constexpr std::size_t UCI_MAX_LINE = 1 << 16;

// What the protocol remembers between commands beyond the position itself.
struct UciSession {
  int depth = ROOT_DEPTH;  // the Depth option: the depth every "go" searches unless it says
  bool quit = false;       // set by "quit"
};

// Starts a session: standard castling (see standardCastling), the starting position and an
// empty search memory.
void StartUciSession(UciSession& session);

// Reads one line from in into line, without its end (LF, or CR LF); a line longer than
// UCI_MAX_LINE is read to its end but kept empty, with tooLong set. Returns false at end of input
// with nothing read.
bool ReadUciLine(std::istream& in, std::string& line, bool& tooLong);

// Carries out one command line, writing every answer line to out and flushing it.
void RunUciCommand(UciSession& session, const std::string& line, std::ostream& out);

// Runs a whole session: commands from in until "quit" or end of input. Returns 0, or 1 when out
// could no longer be written.
int RunUci(std::istream& in, std::ostream& out);
