// The clock rule.
#include "engine/clock.h"

#include <algorithm>

namespace {

constexpr int CLOCK_SHARE = 30;  // a move's share of the clock, at least: a thirtieth
// One move never takes more than this part of the time left: at a fast clock the rest is the
// cushion against a process that the machine leaves waiting for tens of milliseconds.
constexpr int CLOCK_RESERVE = 4;
constexpr int HARD_LIMIT_TARGETS = 3;  // a running depth is abandoned at this many targets
// A new depth starts only before this part of the target has passed: each takes about four times
// as long as all before it, so one started later would end far beyond the target.
constexpr int NEW_DEPTH_SHARE = 3;

}  // namespace

MoveTime ClockBudget(long long remaining, long long increment, int movesToGo, int moveOverhead) {
  using std::chrono::milliseconds;
  long long available = std::max(0ll, remaining - moveOverhead);
  int share = movesToGo > 0 ? std::min(movesToGo + 1, CLOCK_SHARE) : CLOCK_SHARE;
  long long target = available / share + increment * 3 / 4;
  long long hard = std::max(1ll, std::min(available / CLOCK_RESERVE, HARD_LIMIT_TARGETS * target));
  return {milliseconds(std::min(target, hard) / NEW_DEPTH_SHARE), milliseconds(hard)};
}
