// The engine's time management: how much of the mover's clock one move may use, and whether a
// new depth fits in it.
#pragma once

#include <chrono>

// How long one move may take on the clock: it aims at `target`, and a running depth is abandoned
// at `hardLimit`.
struct MoveTime {
  std::chrono::milliseconds target, hardLimit;
};

// The clock rule. Of the mover's remaining time, less the move overhead, a move may use a share
// (a thirtieth, or with movesToGo moves left to the next time control one part in movesToGo + 1,
// whichever is larger) plus three quarters of the increment: that is its target. A running depth
// is abandoned at three times the target, never later than a quarter of the remaining time less
// the overhead.
MoveTime ClockBudget(long long remaining, long long increment, int movesToGo, int moveOverhead);

// Returns whether a new depth, predicted to take `predicted`, may start once `elapsed` of the
// move's time has passed: when it is predicted to end within two targets, and before the hard
// limit. Depths end at times spread evenly on a logarithmic scale below that point, so moves take
// about the target on average, and only a depth far above its prediction meets the hard limit.
bool DepthFits(const MoveTime& time, std::chrono::microseconds elapsed,
               std::chrono::microseconds predicted);
