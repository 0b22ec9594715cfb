// The engine's time management: how much of the mover's clock one move may use.
#pragma once

#include <chrono>

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
