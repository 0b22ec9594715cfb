// Iterative deepening over the game's search.
#include "engine/think.h"

#include <algorithm>
#include <cmath>

#include "engine/makemove.h"
#include "engine/rules.h"

namespace {

// Returns the plies from the root to the mated node of a mate score (the root's history length
// is 0 while thinking, see Think).
int MatePliesFromRoot(int score) { return SCORE_INF - std::abs(score); }

// Returns true when a completed depth has settled a mate score for good: every line of the mate's
// length was searched in full, so no deeper search can find a quicker mate or a longer defence.
bool MateSettled(int score, int depth) {
  return IsMateScore(score) && MatePliesFromRoot(score) < depth;
}

// Returns how long the next depth is predicted to take: the last one's time, times the growth of
// the node count per depth over the last two depths. The count grows by turns more and less from
// an odd depth to an even one and back, so one depth's growth alone misleads; over two it
// predicts the next depth's time within a factor of 1.4 nine times in ten from depth 6 on. Before
// three depths have completed (microseconds), DEFAULT_DEPTH_GROWTH.
constexpr double DEFAULT_DEPTH_GROWTH = 5;
std::chrono::microseconds NextDepthTime(const std::uint64_t* depthNodes, int depth,
                                        ThinkClock::duration lastTime) {
  double growth = depth >= 3 ? std::sqrt(static_cast<double>(depthNodes[depth]) /
                                         static_cast<double>(depthNodes[depth - 2]))
                             : DEFAULT_DEPTH_GROWTH;
  return std::chrono::duration_cast<std::chrono::microseconds>(lastTime * growth);
}

}  // namespace

int MateInMoves(int score) {
  if (!IsMateScore(score)) return 0;
  int plies = MatePliesFromRoot(score);
  return score > 0 ? (plies + 1) / 2 : -(plies / 2);
}

ThinkResult Think(ThinkLimits& limits, const std::function<void(const DepthReport&)>& report,
                  const std::function<void(const ThinkProgress&)>& progress) {
  // Mate scores count plies from the game's start (MateScore), and the count stops at
  // MAX_HISTORY; counted from this root instead they are right after any number of moves. No
  // rule reads the history length but the mate score: repetitions use the key ring.
  int historyLength = pos.historyLength;
  pos.historyLength = 0;
  auto start = ThinkClock::now();
  auto since = [](ThinkClock::time_point from) {
    return std::chrono::duration_cast<std::chrono::microseconds>(ThinkClock::now() - from);
  };
  ThinkResult result;
  MoveList legal;
  ListLegalMoves(legal);
  if (legal.count > 0) result.move = legal.moves[0];

  std::uint64_t nodesBefore = 0;
  std::uint64_t depthNodes[MAX_THINK_DEPTH + 1];  // each completed depth's own count
  int depth = 1;
  auto nextProgress = start + PROGRESS_AFTER;
  // The poll: tells the progress once it is due, then says whether a limit is reached.
  auto poll = [&](const SearchProgress& searched) {
    if (limits.interrupted && limits.interrupted()) return true;
    auto now = ThinkClock::now();
    if (now >= start + PROGRESS_AFTER && (searched.rootMove != NO_MOVE || now >= nextProgress)) {
      if (searched.rootMove == NO_MOVE) nextProgress = now + PROGRESS_EVERY;
      progress({depth, searched.rootMove, searched.rootMoveNumber, nodesBefore + searched.nodes,
                since(start)});
    }
    if (depth == 1) return false;
    return nodesBefore + searched.nodes >= limits.nodes ||
           (limits.timed && now - limits.clockStart >= limits.time.hardLimit);
  };
  int lastDepth = limits.mate > 0 ? std::min(limits.depth, 2 * limits.mate) : limits.depth;
  for (; depth <= std::min(lastDepth, MAX_THINK_DEPTH); ++depth) {
    auto depthStart = ThinkClock::now();
    SearchResult searched = Search(-SCORE_INF, SCORE_INF, depth, SearchPoll::Of(poll));
    auto depthTime = ThinkClock::now() - depthStart;
    nodesBefore += searched.nodes;
    result.nodes = nodesBefore;
    if (!searched.complete) break;
    depthNodes[depth] = searched.nodes;
    result.move = searched.move;
    result.ponder = searched.pv.length > 1 ? searched.pv.moves[1] : NO_MOVE;
    result.depth = depth;
    report({depth,
            searched.selDepth,
            searched.score,
            nodesBefore,
            since(start),
            {searched.pv.moves, searched.pv.moves + searched.pv.length}});
    if (searched.move == NO_MOVE) break;  // mate or stalemate: nothing to search
    if (int mateIn = MateInMoves(searched.score); mateIn > 0 && mateIn <= limits.mate) break;
    if (limits.stopAtSettledMate && MateSettled(searched.score, depth)) break;
    if (nodesBefore >= limits.nodes) break;
    if (limits.timed) {
      auto next = limits.wholeTime ? std::chrono::microseconds(0)
                                   : NextDepthTime(depthNodes, depth, depthTime);
      if (!DepthFits(limits.time, since(limits.clockStart), next)) break;
    }
  }
  pos.historyLength = historyLength;
  return result;
}
