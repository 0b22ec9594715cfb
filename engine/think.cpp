// Iterative deepening over the game's search.
#include "engine/think.h"

#include <algorithm>

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

}  // namespace

int MateInMoves(int score) {
  if (!IsMateScore(score)) return 0;
  int plies = MatePliesFromRoot(score);
  return score > 0 ? (plies + 1) / 2 : -(plies / 2);
}

ThinkResult Think(ThinkLimits& limits, const std::function<void(const DepthReport&)>& report) {
  // Mate scores count plies from the game's start (MateScore), and the count stops at
  // MAX_HISTORY; counted from this root instead they are right after any number of moves. No
  // rule reads the history length but the mate score: repetitions use the key ring.
  int historyLength = pos.historyLength;
  pos.historyLength = 0;
  auto start = ThinkClock::now();
  ThinkResult result;
  MoveList legal;
  ListLegalMoves(legal);
  if (legal.count > 0) result.move = legal.moves[0];

  std::uint64_t nodesBefore = 0;
  int depth = 1;
  auto timeUsed = [&] { return ThinkClock::now() - limits.clockStart; };
  auto stop = [&](std::uint64_t nodes) {
    if (limits.interrupted && limits.interrupted()) return true;
    if (depth == 1) return false;
    return nodesBefore + nodes >= limits.nodes || (limits.timed && timeUsed() >= limits.hardLimit);
  };
  int lastDepth = limits.mate > 0 ? std::min(limits.depth, 2 * limits.mate) : limits.depth;
  for (; depth <= std::min(lastDepth, MAX_THINK_DEPTH); ++depth) {
    SearchResult searched = Search(-SCORE_INF, SCORE_INF, depth, SearchPoll::Of(stop));
    nodesBefore += searched.nodes;
    result.nodes = nodesBefore;
    if (!searched.complete) break;
    DepthReport line{
        depth,
        searched.selDepth,
        searched.score,
        nodesBefore,
        std::chrono::duration_cast<std::chrono::microseconds>(ThinkClock::now() - start),
        {searched.pv.moves, searched.pv.moves + searched.pv.length}};
    result.move = searched.move;
    result.ponder = line.pv.size() > 1 ? line.pv[1] : NO_MOVE;
    result.depth = depth;
    report(line);
    if (searched.move == NO_MOVE) break;  // mate or stalemate: nothing to search
    if (int mateIn = MateInMoves(searched.score); mateIn > 0 && mateIn <= limits.mate) break;
    if (limits.stopAtSettledMate && MateSettled(searched.score, depth)) break;
    if (nodesBefore >= limits.nodes) break;
    if (limits.timed && timeUsed() >= limits.budget) break;
  }
  pos.historyLength = historyLength;
  return result;
}
