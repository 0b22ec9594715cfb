// The plain search.
#include "engine/reference/plain_search.h"

#include <algorithm>
#include <iterator>

#include "engine/movegen.h"
#include "engine/reference/plain_rules.h"
#include "engine/rules.h"
#include "engine/search.h"

namespace {

// The fields a move changes, saved before it and written back after it: the board, the record of
// the other fields, and the state derived from the board.
struct SavedFields : MoveFields {
  std::int32_t board[BOARD_SIZE];
  std::int32_t kingSquare[2];
  std::uint64_t pieces[CODE_COUNT], occupied[2];
};

// Copies the fields a move changes from `from` to `to`: a Position or SavedFields either way,
// since both name them alike.
template <typename To, typename From>
void CopyChangingFields(To& to, const From& from) {
  std::copy(std::begin(from.board), std::end(from.board), to.board);
  std::copy(std::begin(from.pieces), std::end(from.pieces), to.pieces);
  static_cast<MoveFields&>(to) = static_cast<const MoveFields&>(from);
  for (int colour = 0; colour < 2; ++colour) {
    to.kingSquare[colour] = from.kingSquare[colour];
    to.occupied[colour] = from.occupied[colour];
  }
}

// The root search's node count, deepest ply and chosen move.
std::uint64_t nodes;
int deepest;
Move chosen;

// One node of the fail-hard negamax, ply moves below the root.
int PlainNode(int alpha, int beta, int depth, int ply) {
  ++nodes;
  if (depth <= 0 || ply >= MAX_PLY) return EvaluateByScan();
  deepest = std::max(deepest, ply + 1);
  bool inCheck = InCheckByGenerator(pos.side);
  if (inCheck) ++depth;
  MoveList list;
  GenerateMoves(list);
  bool found = false;
  SavedFields saved;
  CopyChangingFields(saved, pos);
  for (int i = 0; i < list.count; ++i) {
    if (!MakeMoveByDefinition(list.moves[i])) continue;
    found = true;
    int score = -PlainNode(-beta, -alpha, depth - 1, ply + 1);
    CopyChangingFields(pos, saved);
    pos.side ^= BLACK;  // the move back to the side that made it
    if (score <= alpha) continue;
    // A fifty-move draw scores 0 whatever the window, so the cut-off too must give 0.
    if (score >= beta) return FiftyMoveLimitReached() ? 0 : beta;
    alpha = score;
    if (ply == 0) chosen = list.moves[i];
  }
  if (!found) return inCheck ? MateScore() : 0;
  if (FiftyMoveLimitReached()) return 0;
  return alpha;
}

}  // namespace

SearchResult PlainSearch(int alpha, int beta, int depth) {
  nodes = 0;
  deepest = 0;
  chosen = NO_MOVE;
  int score = PlainNode(alpha, beta, depth, 0);
  return {score, chosen, nodes, deepest, true, {}};
}
