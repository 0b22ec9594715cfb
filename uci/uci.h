// The engine's side of the Universal Chess Interface, over any pair of streams, so that GUIs and
// match runners can play it and the tests can drive it in memory.
#pragma once

#include <iosfwd>

constexpr int UCI_MIN_DEPTH = 1;
constexpr int UCI_MAX_DEPTH = 10;  // for the Depth option; "go depth" reaches MAX_THINK_DEPTH
constexpr int DEFAULT_MOVE_OVERHEAD = 10;  // milliseconds kept back for the GUI's own delays
constexpr int MAX_MOVE_OVERHEAD = 5000;

// Runs a whole session: commands from in until "quit" or end of input. While it searches it goes
// on reading: "isready" and "quit" are served at once, "stop" and "ponderhit" too unless a "go"
// comes before them, and another "go" or the end of input stops a search that waits for stop;
// every other command waits until the search has answered. Returns 0, or 1 when out could no
// longer be written.
int RunUci(std::istream& in, std::ostream& out);
