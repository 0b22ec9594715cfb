// Iterative deepening over the game's search.
#include "engine/think.h"

#include <algorithm>

#include "engine/makemove.h"
#include "engine/rules.h"

namespace {

// Returns the principal variation of the depth just searched, whose root scored score: its best
// move, then at each position along the line the move of the last search that found its value
// exact there, or else the move that a search of the depth left finds, where its score is the
// line's. (The root plays the first move in generation order that reaches the best value, which
// it may have only tested with a null window: then no line below it was searched exactly.) Every
// move is checked legal in turn; the line ends where none is known, a position of the line repeats,
// the depth is used up or the poll says stop. (The moves remembered are only guesses: another
// position may share the slot.)
std::vector<Move> PrincipalVariation(Move first, int score, int depth, const SearchPoll& poll) {
  std::vector<Move> pv;
  std::vector<Undo> undos;
  std::vector<std::uint64_t> keys = {pos.key};
  for (Move move = first; move != NO_MOVE && static_cast<int>(pv.size()) < depth;) {
    MoveList legal;
    ListLegalMoves(legal);
    if (std::find(legal.moves, legal.moves + legal.count, move) == legal.moves + legal.count) break;
    undos.emplace_back();
    MakeMove(move, undos.back());
    pv.push_back(move);
    score = -score;
    int left = depth - static_cast<int>(pv.size());
    // The table's moves can lead round in a circle.
    if (std::find(keys.begin(), keys.end(), pos.key) != keys.end() || left == 0) break;
    keys.push_back(pos.key);
    move = ExactBestMove(pos.key);
    if (move == NO_MOVE) {
      SearchResult searched = Search(-SCORE_INF, SCORE_INF, left, poll);
      if (searched.complete && searched.score == score) move = searched.move;
    }
  }
  for (std::size_t i = pv.size(); i-- > 0;) UndoMove(pv[i], undos[i]);
  return pv;
}

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
  SearchPoll poll = [&](std::uint64_t nodes) {
    if (limits.interrupted && limits.interrupted()) return true;
    if (depth == 1) return false;
    return nodesBefore + nodes >= limits.nodes || (limits.timed && timeUsed() >= limits.hardLimit);
  };
  int lastDepth = limits.mate > 0 ? std::min(limits.depth, 2 * limits.mate) : limits.depth;
  for (; depth <= std::min(lastDepth, MAX_THINK_DEPTH); ++depth) {
    SearchResult searched = Search(-SCORE_INF, SCORE_INF, depth, poll);
    nodesBefore += searched.nodes;
    result.nodes = nodesBefore;
    if (!searched.complete) break;
    DepthReport line{
        depth,
        searched.selDepth,
        searched.score,
        nodesBefore,
        std::chrono::duration_cast<std::chrono::microseconds>(ThinkClock::now() - start),
        PrincipalVariation(searched.move, searched.score, depth, poll)};
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
