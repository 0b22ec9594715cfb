// The game's search: the same values as the plain alpha-beta search, found with far fewer nodes.
//
// Why it can be exact. Every call of the plain search is a pure function of the position (board,
// side, castling rights, en-passant square, halfmove clock and history length), the depth, the
// window and the ply below the root (the ply cap). A leaf returns Evaluate(); a node without a
// legal move returns MateScore() or 0; a node with depth > 0, a legal move and a clock at the
// fifty-move limit returns 0; every other node returns its minimax value v clamped to the window,
// where v is the value of the tree the search defines (one ply more at every node whose side to
// move is in check). The root plays the first move in generation order whose value is the
// maximum. So any method that computes the same values gives the same game:
//   - inside the tree moves are tried in any order (best first), and a node returns a bound
//     (fail-soft) that is exact wherever the plain search's value is;
//   - the root first finds the best value, trying the likeliest moves first, then asks of each
//     move before the one found, in generation order, whether it reaches that value too (a null
//     window), and plays the first that does;
//   - a node's value is remembered in the transposition table together with everything it
//     depends on beyond the key: the root search it was found in, the ply (which fixes the
//     history length, the distance to the cap and, where it matters, the halfmove clock; see
//     transposition.h) and the depth. Only then may it stand in for a search;
//   - a node at the fifty-move limit only needs to know whether it has a legal move;
//   - a node in check tries exactly its legal moves, which the legal generator lists from what
//     gives check and what is pinned (set_movegen.h), so no move is made only to be refused;
//   - a node with one ply left is valued without trying its moves one by one (frontier.cpp), and
//     two plies from the end a move is bounded by material where the bound settles it.
#include "engine/search.h"

#include <algorithm>
#include <bit>

#include "engine/attack.h"
#include "engine/check_record.h"
#include "engine/evaluate.h"
#include "engine/frontier.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/set_movegen.h"
#include "engine/transposition.h"

std::uint64_t searchNodes = 0;

namespace {

// Cutting a search short: the node count at which the poll is next asked (never, for the game's
// searches), the poll, and whether it has said stop.
std::uint64_t pollAt = UINT64_MAX;
const SearchPoll* activePoll = nullptr;
bool cutShort = false;
int selDepth = 0;  // the deepest ply looked at since the search began

// Returns true once the search is to stop: asks the poll, and then every node answers at once.
bool CutShort() {
  if (!cutShort) cutShort = (*activePoll)();
  pollAt = cutShort ? 0 : searchNodes + SEARCH_POLL_NODES;
  return cutShort;
}

static_assert(MAX_PLY < FIFTY_MOVE_PLIES, "the table's entries rely on this, see transposition.h");

constexpr int BELOW_ANY_SCORE = -SCORE_INF - 1;

// Move ordering: the table's move (tried apart), then captures (most valuable victim, then least
// valuable attacker) and promotions, then the two quiet moves that last cut off at this ply
// (killers), then the other quiet moves by how often such a move cut off before.
constexpr int TABLE_MOVE_ORDER = 1 << 30;  // at the root, where it is sorted with the rest
constexpr int CAPTURE_ORDER = 1 << 29;
constexpr int KILLER_ORDER = 1 << 28;
constexpr int CUTOFF_COUNT_LIMIT = 1 << 20;
constexpr int SORTED_MOVES = 12;

std::uint16_t searchId = 0;
Move killers[MAX_PLY][2];
int cutoffCounts[CODE_COUNT][BOARD_SIZE];  // by the moving piece's code and the destination

// Returns the order key of a move: higher is tried first.
int OrderKey(Move move, Move killer0, Move killer1) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  if (flags & (MF_CAPTURE | MF_PROMOTION)) {
    int victim = flags & MF_EN_PASSANT ? PAWN : TypeOf(pos.board[to]);
    return CAPTURE_ORDER + 64 * PIECE_VALUE[victim] + 8 * MovePromotion(move) -
           TypeOf(pos.board[from]);
  }
  if (move == killer0) return KILLER_ORDER + 1;
  if (move == killer1) return KILLER_ORDER;
  return cutoffCounts[pos.board[from]][to];
}

// Fills keys with the order keys of the moves of a node at this ply.
void OrderKeys(const MoveList& list, int (&keys)[MAX_MOVES], int ply) {
  Move killer0 = killers[ply][0], killer1 = killers[ply][1];
  for (int i = 0; i < list.count; ++i) keys[i] = OrderKey(list.moves[i], killer0, killer1);
}

// Sorts the moves by falling key (insertion sort: the lists are short and mostly in order).
void SortMoves(MoveList& list, int (&keys)[MAX_MOVES]) {
  for (int i = 1; i < list.count; ++i) {
    Move move = list.moves[i];
    int key = keys[i], j = i;
    for (; j > 0 && keys[j - 1] < key; --j) {
      list.moves[j] = list.moves[j - 1];
      keys[j] = keys[j - 1];
    }
    list.moves[j] = move;
    keys[j] = key;
  }
}

// Brings the best-ordered of moves[first..count) to first.
void PickNext(MoveList& list, int (&keys)[MAX_MOVES], int first) {
  int best = first;
  for (int i = first + 1; i < list.count; ++i)
    if (keys[i] > keys[best]) best = i;
  std::swap(list.moves[first], list.moves[best]);
  std::swap(keys[first], keys[best]);
}

// Remembers a quiet move that cut off: as a killer at this ply and in the cut-off counts.
void RewardCutoff(Move move, int depth, int ply) {
  if (MoveFlags(move) & (MF_CAPTURE | MF_PROMOTION)) return;
  if (killers[ply][0] != move) {
    killers[ply][1] = killers[ply][0];
    killers[ply][0] = move;
  }
  int& count = cutoffCounts[pos.board[MoveFrom(move)]][MoveTo(move)];
  count += depth * depth;
  if (count > CUTOFF_COUNT_LIMIT)
    for (auto& row : cutoffCounts)
      for (int& c : row) c /= 2;
}

// Returns the score a node whose clock may have reached the fifty-move limit returns for a
// search result: 0 at the limit (the node has a legal move), else the score itself.
int UnlessFiftyMoves(int score) { return FiftyMoveLimitReached() ? 0 : score; }

// The moves of the nodes whose value came out exact, kept apart from the table: such nodes are
// few (those of principal variations), and so their moves outlast the table's, where nodes of
// every kind replace one another. Only the last root search's are of its principal variation.
constexpr int EXACT_MOVE_BITS = 14;
struct ExactMove {
  std::uint64_t key;
  Move move;
  std::uint16_t searchId;
};
ExactMove exactMoves[1 << EXACT_MOVE_BITS];

// Stores a node's result: exact inside the window, else the bound fail-soft gives.
void Store(std::uint64_t key, int alpha, int beta, int value, Move move, int depth, int ply) {
  Bound bound = value <= alpha ? BOUND_UPPER : value >= beta ? BOUND_LOWER : BOUND_EXACT;
  // A search cut short stores what its nodes answered at once: no move of a line.
  if (bound == BOUND_EXACT && !cutShort)
    exactMoves[key & ((1 << EXACT_MOVE_BITS) - 1)] = {key, move, searchId};
  TableSlot(key) = {.key = key,
                    .move = move,
                    .value = static_cast<std::int16_t>(value),
                    .depth = static_cast<std::int8_t>(depth),
                    .bound = bound,
                    .searchId = searchId,
                    .ply = static_cast<std::int8_t>(ply)};
}

// Returns true, with the value in *value, when the table holds a value for this node found under
// its conditions that settles it in the window.
bool ProbeValue(const TableEntry& entry, std::uint64_t key, int alpha, int beta, int depth, int ply,
                int* value) {
  if (entry.key != key || entry.searchId != searchId || entry.depth != depth || entry.ply != ply)
    return false;
  *value = entry.value;
  return entry.bound == BOUND_EXACT || (entry.bound == BOUND_LOWER && *value >= beta) ||
         (entry.bound == BOUND_UPPER && *value <= alpha);
}

// The running state of one node's move loop.
struct NodeState {
  int alpha, beta, depth, ply;
  bool inCheck;
  // With two plies left, a move that gives no check leads to a frontier node, worth at least its
  // material unless it has no legal move (stalemate, 0) or its clock reaches the limit (0). So
  // such a move scores at most the material now plus what it captures, and where that cannot beat
  // the floor, the bound is all that is needed: the move need not be made. SCORE_INF where
  // unused.
  int standing;
  bool childMayReachFifty;  // the clock of a child reached by a reversible move may hit the limit
  int best = BELOW_ANY_SCORE;
  Move bestMove = NO_MOVE;
  bool anyLegal = false;
  // A quiet move that gives no check scores at most max(standing, 0), whether it is legal or not
  // (and a node with no legal move at all is stalemate, 0). Where that cannot beat the floor such
  // moves are passed over without even a legality test; the record tells the ones that give check.
  bool passedOver = false;
  int opponentMovers = -1;  // see OpponentKeepsMove; -1 until counted
  CheckRecord& record;      // the node's, found as it is asked for
};

// Returns the score a move must beat to matter: the window's floor or the best so far.
int Floor(const NodeState& n) { return std::max(n.alpha, n.best); }

// Raises the node's best to value, with the move that gives it, where that is better.
void Raise(NodeState& n, int value, Move move) {
  if (value <= n.best) return;
  n.best = value;
  n.bestMove = move;
}

// The most a quiet move that gives no check can score, and whether that can beat the floor.
int QuietCap(const NodeState& n) { return std::max(n.standing, 0); }
bool QuietMovesCannotRaise(const NodeState& n) { return QuietCap(n) <= Floor(n); }

// Passes over quiet moves that give no check, where QuietMovesCannotRaise: their cap stands in
// for them, credited to `move`.
void PassOverQuietMoves(NodeState& n, Move move) {
  n.passedOver = true;
  Raise(n, QuietCap(n), move);
}

int Node(int alpha, int beta, int depth, int ply, bool inCheck);

// Returns true when, after a legal move of the node's side to move that gives no check, the
// opponent has a legal move. A move other than the king's leaves the opponent more movable pieces
// than it had less the most such a move takes, so that where it has more, no move need be made.
bool OpponentKeepsMove(NodeState& n, Move move) {
  if (n.opponentMovers < 0)
    n.opponentMovers = CountUnpinnedMovers(pos.side ^ BLACK, EnemyKingOf(n.record).lines.pinned,
                                           MOST_MOVERS_TAKEN + 1);
  if (TypeOf(pos.board[MoveFrom(move)]) != KING && n.opponentMovers > MoversTakenAtMost(move))
    return true;
  Undo undo;
  MakeLegalMove<RULES_ONLY>(move, undo);
  CheckRecord record(true);  // the move gives no check
  bool keeps = HasLegalMove(record);
  UndoMove<RULES_ONLY>(move, undo);
  return keeps;
}

// Tries one move at a node, known to be legal or not yet judged: bounds it or searches it and
// raises the node's best. Returns true on a cut-off.
bool TryMove(NodeState& n, Move move, bool legal) {
  int flags = MoveFlags(move), to = MoveTo(move), floor = Floor(n);
  const bool check = MoveGivesCheck(n.record, move);
  // Step 1. A quiet move that gives no check, where such moves cannot beat the floor: its cap.
  if (!(flags & (MF_CAPTURE | MF_PROMOTION | MF_CASTLE)) && QuietMovesCannotRaise(n) && !check) {
    PassOverQuietMoves(n, move);
    return false;
  }
  // Step 2. Two plies from the end, a plain move that gives no check and whose material bound
  // cannot beat the floor needs only to be judged legal, not searched: its bound stands in.
  int bound = n.standing + PIECE_VALUE[TypeOf(pos.board[to])];
  if (n.childMayReachFifty) bound = std::max(bound, 0);
  if (bound <= floor && !(flags & (MF_PROMOTION | MF_CASTLE | MF_EN_PASSANT)) &&
      TypeOf(pos.board[to]) != KING && !check) {
    if (!legal && !IsLegal(move, n.record)) return false;
    legal = true;
    // The child has no legal move only in stalemate (0); where that would beat the floor, the
    // bound serves only once the opponent is seen to keep a move.
    int cap = std::max(bound, 0);
    if (cap > floor && OpponentKeepsMove(n, move)) cap = bound;
    if (cap <= floor) {
      n.anyLegal = true;
      Raise(n, cap, move);
      return false;
    }
  }
  // Step 3. Make the move and search it: with the full window for the first legal move or where
  // the window is null, else first only asking whether it beats the floor.
  if (!legal && !IsLegal(move, n.record)) return false;
  Undo undo;
  MakeLegalMove(move, undo);
  n.anyLegal = true;
  int score;
  if (n.best == BELOW_ANY_SCORE || n.beta - floor == 1) {
    score = -Node(-n.beta, -floor, n.depth - 1, n.ply + 1, check);
  } else {
    score = -Node(-floor - 1, -floor, n.depth - 1, n.ply + 1, check);
    if (score > floor && score < n.beta)
      score = -Node(-n.beta, -floor, n.depth - 1, n.ply + 1, check);
  }
  UndoMove(move, undo);
  // Step 4. Keep the best; a move that reaches beta cuts off and is remembered.
  Raise(n, score, move);
  if (score < n.beta) return false;
  RewardCutoff(move, n.depth, n.ply);
  return true;
}

// Tries the moves of list but `skip` at node n, the first few in order of their keys. With
// killersOnly, only the killers are brought to the front and the rest keep their order. In check
// the list holds legal moves only. Returns true on a cut-off.
bool TryMoves(NodeState& n, MoveList& list, Move skip, bool killersOnly) {
  bool legal = n.inCheck;  // the list holds legal moves only
  if (killersOnly) {
    int front = 0;
    for (Move killer : killers[n.ply])
      for (int i = front; i < list.count; ++i)
        if (list.moves[i] == killer) std::swap(list.moves[i], list.moves[front++]);
    for (int i = 0; i < list.count; ++i)
      if (list.moves[i] != skip && TryMove(n, list.moves[i], legal)) return true;
    return false;
  }
  int keys[MAX_MOVES];
  OrderKeys(list, keys, n.ply);
  for (int i = 0; i < list.count; ++i) {
    if (i < SORTED_MOVES) PickNext(list, keys, i);
    if (list.moves[i] != skip && TryMove(n, list.moves[i], legal)) return true;
  }
  return false;
}

// Returns true when a move remembered for this position may be tried before the moves are
// generated: it moves a piece of the side to move onto a square not holding one of its own.
// (Only a key collision could make it anything but a generated move.)
bool IsPlausible(Move move) {
  int from = MoveFrom(move), to = MoveTo(move);
  if (!IsPlayingSquare(from) || !IsPlayingSquare(to)) return false;
  return IsPieceOf(pos.board[from], pos.side) && !IsPieceOf(pos.board[to], pos.side);
}

// One node below the root, fail-soft: returns v where alpha < v < beta, an upper bound on v at
// or below alpha, a lower bound at or above beta; leaves and terminal nodes are exact.
int Node(int alpha, int beta, int depth, int ply, bool inCheck) {
  ++searchNodes;
  // A search cut short is void: what its nodes return no longer matters.
  if (searchNodes >= pollAt && CutShort()) return 0;
  // Step 1. A leaf, or a node at the ply cap, is worth its material.
  if (depth <= 0 || ply >= MAX_PLY) return Evaluate();
  // This node looks at least one ply further (and so its leaves need not say how deep they are).
  selDepth = std::max(selDepth, ply + 1);
  // Step 2. In check the depth does not fall.
  if (inCheck) ++depth;
  // Step 3. At the fifty-move limit only a legal move matters: 0 with one, else mate or stalemate.
  if (FiftyMoveLimitReached()) {
    CheckRecord record;
    return !inCheck || HasLegalMove(record) ? 0 : MateScore();
  }
  // Step 4. One ply left: the frontier values the node from its best capture.
  if (depth == 1) return FrontierValue(beta, searchNodes);

  // Step 5. A value remembered under this node's conditions stands in for the search; a
  // remembered move is tried first.
  std::uint64_t key = pos.key;
  const TableEntry& entry = TableSlot(key);
  int remembered;
  if (ProbeValue(entry, key, alpha, beta, depth, ply, &remembered)) return remembered;
  Move tableMove = entry.key == key && IsPlausible(entry.move) ? entry.move : NO_MOVE;

  CheckRecord record(!inCheck);
  NodeState n{.alpha = alpha,
              .beta = beta,
              .depth = depth,
              .ply = ply,
              .inCheck = inCheck,
              .standing = depth == 2 && !inCheck ? Evaluate() : SCORE_INF,
              .childMayReachFifty = FiftyMoveLimitWithin(1),
              .record = record};

  // Step 6. The remembered move, the likeliest to cut off before anything is generated.
  bool cutOff = tableMove != NO_MOVE && TryMove(n, tableMove, false);
  MoveList list;
  // Step 7. In check: the legal moves, found from what gives check and what is pinned.
  if (!cutOff && inCheck) {
    GenerateLegalMoves(list, n.record);
    cutOff = TryMoves(n, list, tableMove, false);
  }
  // Step 8. Captures and promotions, likelier to cut off than quiet moves.
  if (!cutOff && !inCheck) {
    GenerateCaptures(list);
    cutOff = TryMoves(n, list, tableMove, false);
  }
  // Step 9. Quiet moves; where those that give no check cannot beat the floor, only the checks.
  // Where the material cannot reach alpha without a capture, only killers are worth ordering:
  // every other quiet move is bounded or searched anyway.
  if (!cutOff && !inCheck) {
    if (QuietMovesCannotRaise(n)) {
      GenerateQuietChecks(list, n.record);
      PassOverQuietMoves(n, n.bestMove);
    } else {
      GenerateQuietMoves(list);
    }
    TryMoves(n, list, tableMove, n.standing <= alpha);
  }
  // Step 10. No legal move: mate or stalemate. Otherwise the result is remembered.
  if (!n.anyLegal && !n.passedOver) return inCheck ? MateScore() : 0;
  Store(key, alpha, beta, n.best, n.bestMove, depth, ply);
  return n.best;
}

// Searches a root move: makes it and returns its score in the window (alpha, beta), or
// BELOW_ANY_SCORE when it is illegal. A null window (beta = alpha + 1) asks only whether the score
// is above alpha.
int SearchRootMove(Move move, int alpha, int beta, int depth) {
  CheckRecord record;
  if (!IsLegal(move, record)) return BELOW_ANY_SCORE;
  bool check = depth > 1 && MoveGivesCheck(record, move);
  Undo undo;
  MakeLegalMove(move, undo);
  int score = -Node(-beta, -alpha, depth - 1, 1, check);
  UndoMove(move, undo);
  return score;
}

// The root exactly as the plain search runs it: moves in generation order, each later one only
// asked whether it beats the best so far. Writes its best move to *best.
int SearchRootInOrder(const MoveList& list, bool inCheck, int alpha, int beta, int depth,
                      Move* best) {
  bool found = false;
  for (int i = 0; i < list.count; ++i) {
    Move move = list.moves[i];
    int score = SearchRootMove(move, alpha, found ? alpha + 1 : beta, depth);
    if (score == BELOW_ANY_SCORE) continue;
    if (found && score > alpha && score < beta) score = SearchRootMove(move, alpha, beta, depth);
    found = true;
    if (score <= alpha) continue;
    if (score >= beta) return UnlessFiftyMoves(beta);
    alpha = score;
    if (best) *best = move;
  }
  if (!found) return inCheck ? MateScore() : 0;
  return UnlessFiftyMoves(alpha);
}

// The root. First the best value, trying the likeliest best moves first; then, since the plain
// search plays the first move in generation order that reaches the best value, each move before
// the one found is asked whether it reaches that value too. Writes the move to *best when given;
// returns what the plain root returns.
int SearchRoot(int alpha, int beta, int depth, Move* best) {
  bool inCheck = InCheck(pos.side);
  MoveList list, ordered;
  GenerateMoves(list);
  ordered = list;
  const TableEntry& entry = TableSlot(pos.key);
  Move tableMove = entry.key == pos.key ? entry.move : NO_MOVE;
  int keys[MAX_MOVES];
  OrderKeys(list, keys, 0);
  for (int i = 0; i < list.count; ++i)
    if (list.moves[i] == tableMove) keys[i] = TABLE_MOVE_ORDER;
  SortMoves(ordered, keys);

  int value = BELOW_ANY_SCORE;
  Move found = NO_MOVE;
  for (int i = 0; i < ordered.count; ++i) {
    Move move = ordered.moves[i];
    int floor = std::max(alpha, value);
    int score = SearchRootMove(move, floor, found ? floor + 1 : beta, depth);
    if (score == BELOW_ANY_SCORE) continue;
    if (found && score > floor && score < beta) score = SearchRootMove(move, floor, beta, depth);
    if (found == NO_MOVE || score > value) {
      value = score;
      found = move;
    }
    if (value >= beta) return SearchRootInOrder(list, inCheck, alpha, beta, depth, best);
  }
  if (found == NO_MOVE) return inCheck ? MateScore() : 0;
  if (value <= alpha) return UnlessFiftyMoves(alpha);
  if (best) {
    *best = found;
    for (int i = 0; list.moves[i] != found; ++i) {
      int score = SearchRootMove(list.moves[i], value - 1, value, depth);
      if (score >= value) {
        *best = list.moves[i];
        break;
      }
    }
  }
  return UnlessFiftyMoves(value);
}

}  // namespace

int Search(int alpha, int beta, int depth) {
  ++searchNodes;
  // Values are tied to the root search that found them; when the numbering wraps, none may
  // outlive it.
  if (++searchId == 0) {
    ClearTable();
    searchId = 1;
  }
  if (depth <= 0) return Evaluate();
  bool inCheck = InCheck(pos.side);
  if (inCheck) ++depth;
  return SearchRoot(alpha, beta, depth, &bestMove);
}

SearchResult SearchFromRoot(int depth, const SearchPoll& poll) {
  searchNodes = 0;
  bestMove = NO_MOVE;
  selDepth = depth > 0;  // the root's children, which the root does not record
  cutShort = false;
  activePoll = poll ? &poll : nullptr;
  pollAt = poll ? SEARCH_POLL_NODES : UINT64_MAX;
  int score = Search(-SCORE_INF, SCORE_INF, depth);
  pollAt = UINT64_MAX;
  activePoll = nullptr;
  return {score, bestMove, searchNodes, selDepth, !cutShort};
}

int MoversTakenAtMost(Move move) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move);
  int opponentPawn = (pos.side ^ BLACK) | PAWN, back = Forward(pos.side);  // toward its pawns
  return 2 + (b[to] != EMPTY) + (b[to + back] == opponentPawn) +
         (b[from + back + WEST] == opponentPawn) + (b[from + back + EAST] == opponentPawn);
}

Move ExactBestMove(std::uint64_t key) {
  const ExactMove& entry = exactMoves[key & ((1 << EXACT_MOVE_BITS) - 1)];
  return entry.key == key && entry.searchId == searchId ? entry.move : NO_MOVE;
}

void ClearSearchMemory() {
  ClearTable();
  for (ExactMove& entry : exactMoves) entry = {};
  ClearFrontierCache();
  searchId = 0;
  for (auto& pair : killers) pair[0] = pair[1] = NO_MOVE;
  for (auto& row : cutoffCounts)
    for (int& count : row) count = 0;
}
