// Thinking within limits, for the UCI engine: iterative deepening over the game's exact search,
// depth 1, 2, 3, ... until a limit ends it, each depth reported with its principal variation.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/clock.h"
#include "engine/search.h"

// The deepest search thinking starts: the table keeps depths in 8 bits and the check extensions
// can add up to MAX_PLY to them.
constexpr int MAX_THINK_DEPTH = 60;

using ThinkClock = std::chrono::steady_clock;

// What ends the thinking. The interruption and the clock fields may be changed while it runs
// (from interrupted itself, say, when a ponder hit starts the clock).
struct ThinkLimits {
  int depth = MAX_THINK_DEPTH;       // the last depth searched
  std::uint64_t nodes = UINT64_MAX;  // stop once this many nodes are searched (to a poll)
  int mate = 0;                   // above 0: stop once a mate in at most this many moves is found
  bool stopAtSettledMate = true;  // stop once a depth has settled a mate distance for good
  bool timed = false;             // whether time applies
  // Whether all of the time is for this move (a fixed move time): every depth starts that can
  // before the hard limit, however long it is predicted to take.
  bool wholeTime = false;
  ThinkClock::time_point clockStart;  // when the time began to run
  MoveTime time{};                    // see DepthFits
  std::function<bool()> interrupted;  // asked at every poll: true ends the thinking at once
};

// One completed depth, as the engine reports it.
struct DepthReport {
  int depth;
  int selDepth;
  int score;            // for the side to move; mates as MateInMoves reads them
  std::uint64_t nodes;  // all depths so far
  std::chrono::microseconds elapsed;
  std::vector<Move> pv;  // the principal variation, every move legal in turn; empty without a move
};

// How far a running depth has got, reported once the thinking has run PROGRESS_AFTER: as the
// root begins each move (currMove, and its number among the legal moves begun, from 1), and
// about every PROGRESS_EVERY (currMove NO_MOVE), the nodes and time so far.
constexpr std::chrono::seconds PROGRESS_AFTER{1}, PROGRESS_EVERY{1};
struct ThinkProgress {
  int depth;
  Move currMove;
  int currMoveNumber;
  std::uint64_t nodes;  // all depths so far, the running one's to the last poll
  std::chrono::microseconds elapsed;
};

// The answer: the first move of the last completed depth's principal variation and its second
// (the move to ponder on, or NO_MOVE), or the first legal move when no depth completed; NO_MOVE
// when there is none.
struct ThinkResult {
  Move move = NO_MOVE;
  Move ponder = NO_MOVE;
  int depth = 0;  // the last depth completed
  std::uint64_t nodes = 0;
};

// Thinks about the position until a limit is reached, reporting each completed depth, and the
// progress of a long one. The table's moves, the last depth's line and the killers carry from one
// depth to the next (see Search). Depth 1 always completes unless interrupted (it takes
// microseconds), so the answer is never a blind guess. On the clock a new depth starts only where
// its time, predicted from the depths before, fits (DepthFits). The position is left as it was
// found.
ThinkResult Think(ThinkLimits& limits, const std::function<void(const DepthReport&)>& report,
                  const std::function<void(const ThinkProgress&)>& progress);

// Returns a score that Think reported in moves to mate: positive when the side to move mates,
// negative when it is mated (0: mated now); 0 for a score that is no mate.
int MateInMoves(int score);
