// The clock rule.
#include "engine/clock.h"

#include <algorithm>

namespace {

constexpr int CLOCK_SHARE = 30;  // a move's share of the clock, at least: a thirtieth
// One move never takes more than this part of the time left: at a fast clock the rest is the
// cushion against a process that the machine leaves waiting for tens of milliseconds.
constexpr int CLOCK_RESERVE = 4;
constexpr int HARD_LIMIT_TARGETS = 3;  // a running depth is abandoned at this many targets
// A new depth starts only where it is predicted to end within this many targets. Each depth
// takes four to six times the one before, so the last one completed ends between about a fifth
// of this point and the point itself, on average near half of it: near the target.
constexpr int DEPTH_END_TARGETS = 2;

}  // namespace

MoveTime ClockBudget(long long remaining, long long increment, int movesToGo, int moveOverhead) {
  using std::chrono::milliseconds;
  long long available = std::max(0ll, remaining - moveOverhead);
  int share = movesToGo > 0 ? std::min(movesToGo + 1, CLOCK_SHARE) : CLOCK_SHARE;
  long long target = available / share + increment * 3 / 4;
  long long hard = std::max(1ll, std::min(available / CLOCK_RESERVE, HARD_LIMIT_TARGETS * target));
  return {milliseconds(std::min(target, hard)), milliseconds(hard)};
}

bool DepthFits(const MoveTime& time, std::chrono::microseconds elapsed,
               std::chrono::microseconds predicted) {
  auto end = elapsed + predicted;
  return end <= DEPTH_END_TARGETS * time.target && end < time.hardLimit;
}
