// The words of "go" and the limits of thinking they set.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engine/think.h"

// What a "go" asks for; -1 where it says nothing.
struct GoRequest {
  long long time[2] = {-1, -1};  // by ColourIndex: wtime, btime
  long long increment[2] = {0, 0};
  long long movesToGo = 0, moveTime = -1, depth = -1, nodes = -1, mate = -1;
  bool infinite = false, ponder = false;
};

// Reads the words of "go" (words[0] is "go") in any order. A number missing, unreadable or out of
// range is reported on out: a missing or unreadable one is ignored, one out of range is brought
// into it. So is an unknown word, and searchmoves, whose moves are skipped.
GoRequest ReadGo(const std::vector<std::string>& words, std::ostream& out);

// Returns the limits a "go" sets for the position: its own, the clock rule for the mover's clock
// less moveOverhead, or else depth (the Depth option). The time runs from when the go was read,
// sent (the GUI's clock has run since it sent it); it does not run while pondering, nor at all
// when infinite.
ThinkLimits LimitsOf(const GoRequest& go, int depth, int moveOverhead, ThinkClock::time_point sent);
