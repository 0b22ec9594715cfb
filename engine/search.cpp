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
//   - the root tries the likeliest moves first, asking of each (a null window) only whether it
//     beats the best so far as the plain search ranks them: a move generated before the best so
//     far must reach its value, one generated after it must exceed it;
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

namespace {

static_assert(MAX_PLY < FIFTY_MOVE_PLIES, "the table's entries rely on this, see transposition.h");

constexpr int BELOW_ANY_SCORE = -SCORE_INF - 1;

// Move ordering, in stages that each key only the moves they try: the table's move, then captures
// and promotions by what they gain (the least valuable mover first among equal gains), then the
// two quiet moves that last cut off at this ply (killers), then the other quiet moves by how often
// such a move cut off before. A list that holds every kind (in check, and at the root) is ordered
// the same way by one key: each stage's keys lie above the next one's.
constexpr int TABLE_MOVE_ORDER = 1 << 30;  // at the root, where it is sorted with the rest
constexpr int CAPTURE_ORDER = 1 << 29;
constexpr int KILLER_ORDER = 1 << 28;
constexpr int CUTOFF_COUNT_LIMIT = 1 << 20;  // counts are halved beyond it, to stay below killers
constexpr int KEY_PER_GAIN = 8;              // above any piece type: the mover only breaks ties
constexpr int SORTED_MOVES = 12;

// Everything the search keeps besides the table and the frontier values: one record, so that
// nothing of it is cleared by hand or forgotten.
struct SearchState {
  // What belongs to one root search, begun anew by each (BeginSearch): its count, its way of
  // being cut short, its lines and its cut-off counts.
  struct Run {
    std::uint64_t nodes = 0;
    int selDepth = 0;  // the deepest ply looked at
    // The node count at which the poll is next asked (never, for the game's searches), the poll,
    // and whether it has said stop.
    std::uint64_t pollAt = UINT64_MAX;
    SearchPoll poll;
    bool cutShort = false;
    int rootMovesBegun = 0;  // the legal moves the root has begun, told to the poll
    // The principal variation of each node on the path, kept as the search goes (a triangular
    // table): lines[ply] is the line of the node at that ply, from its exact value's move on (or
    // its refutation, see TryMove).
    Line lines[MAX_PLY + 1];
    // How often each quiet move cut off, by the moving piece's code and the destination. Counts
    // that other root searches left, of another depth or root, only disturb the order that this
    // one's own cut-offs give.
    int cutoffCounts[CODE_COUNT][BOARD_SIZE] = {};
  } run;
  // What earlier root searches found, kept to order the moves of later ones: numbered, so that
  // values are found only by the root search that stored them.
  std::uint16_t searchId = 0;
  Move killers[MAX_PLY][2] = {};
};
SearchState state;

// Returns true once the search is to stop: asks the poll, and then every node answers at once.
bool CutShort() {
  SearchState::Run& run = state.run;
  if (!run.cutShort) run.cutShort = run.poll({run.nodes});
  run.pollAt = run.cutShort ? 0 : run.nodes + SEARCH_POLL_NODES;
  return run.cutShort;
}

// Tells the poll, where there is one, that the root begins a move, when it is legal; the poll may
// stop the search there as at any other poll.
void BeginRootMove(Move move) {
  SearchState::Run& run = state.run;
  if (!run.poll || run.cutShort) return;
  CheckRecord record;
  if (!IsLegal(move, record)) return;
  run.cutShort = run.poll({run.nodes, move, ++run.rootMovesBegun});
  if (run.cutShort) run.pollAt = 0;
}

// Returns the order key of a capture or promotion: higher is tried first.
int CaptureKey(Move move) {
  return KEY_PER_GAIN * MaterialGain(move) - TypeOf(pos.board[MoveFrom(move)]);
}

// Returns the order key of a quiet move: the cut-offs that such a move (this piece to this square)
// made before, each counted by its depth squared.
int QuietKey(Move move) { return state.run.cutoffCounts[pos.board[MoveFrom(move)]][MoveTo(move)]; }

// Returns the order key of a move of a list that holds captures and quiet moves alike (in check,
// and at the root): captures and promotions first, then the killers of the ply, then the other
// quiet moves.
int MixedKey(Move move, int ply) {
  if (MoveFlags(move) & (MF_CAPTURE | MF_PROMOTION)) return CAPTURE_ORDER + CaptureKey(move);
  if (move == state.killers[ply][0]) return KILLER_ORDER + 1;
  if (move == state.killers[ply][1]) return KILLER_ORDER;
  return QuietKey(move);
}

// Sorts items by falling key, equal keys in their order (insertion sort: the lists are short).
void SortByKey(int* items, int* keys, int count) {
  for (int i = 1; i < count; ++i) {
    int item = items[i], key = keys[i], j = i;
    for (; j > 0 && keys[j - 1] < key; --j) {
      items[j] = items[j - 1];
      keys[j] = keys[j - 1];
    }
    items[j] = item;
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
  Move(&killers)[2] = state.killers[ply];
  if (killers[0] != move) {
    killers[1] = killers[0];
    killers[0] = move;
  }
  int& count = state.run.cutoffCounts[pos.board[MoveFrom(move)]][MoveTo(move)];
  count += depth * depth;
  if (count > CUTOFF_COUNT_LIMIT)
    for (auto& row : state.run.cutoffCounts)
      for (int& c : row) c /= 2;
}

// Returns the score a node whose clock may have reached the fifty-move limit returns for a
// search result: 0 at the limit (the node has a legal move), else the score itself.
int UnlessFiftyMoves(int score) { return FiftyMoveLimitReached() ? 0 : score; }

// Makes the line of the node at this ply the move alone.
void StartLine(int ply, Move move) {
  Line& line = state.run.lines[ply];
  line.moves[0] = move;
  line.keys[0] = pos.key;
  line.length = 1;
}

// Makes the line of the node at this ply the move, whose exact value is now the node's, followed
// by the line of the child it leads to.
void ExtendLine(int ply, Move move) {
  StartLine(ply, move);
  Line& line = state.run.lines[ply];
  const Line& child = state.run.lines[ply + 1];
  std::copy(child.moves, child.moves + child.length, line.moves + 1);
  std::copy(child.keys, child.keys + child.length, line.keys + 1);
  line.length += child.length;
}

// Stores a node's result: exact inside the window, else the bound fail-soft gives.
void Store(std::uint64_t key, int alpha, int beta, int value, Move move, int depth, int ply) {
  Bound bound = value <= alpha ? BOUND_UPPER : value >= beta ? BOUND_LOWER : BOUND_EXACT;
  TableSlotToStore(key, depth, state.searchId) = {.key = key,
                                                  .move = move,
                                                  .value = static_cast<std::int16_t>(value),
                                                  .depth = static_cast<std::int8_t>(depth),
                                                  .bound = bound,
                                                  .searchId = state.searchId,
                                                  .ply = static_cast<std::int8_t>(ply)};
}

// Returns true, with the value in *value, when the table holds a value for this node found under
// its conditions that settles it in the window.
bool ProbeValue(const TableEntry& entry, std::uint64_t key, int alpha, int beta, int depth, int ply,
                int* value) {
  if (entry.key != key || entry.searchId != state.searchId || entry.depth != depth ||
      entry.ply != ply)
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
  // More than MOST_MOVERS_TAKEN movers outlast any such move, without asking what it takes.
  if (TypeOf(pos.board[MoveFrom(move)]) != KING &&
      (n.opponentMovers > MOST_MOVERS_TAKEN || n.opponentMovers > MoversTakenAtMost(move)))
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
  // Step 4. Keep the best, and the line of an exact value; a move that reaches beta cuts off, is
  // remembered, and is the node's line: a refutation, below which nothing is known.
  if (score > floor && score < n.beta) ExtendLine(n.ply, move);
  Raise(n, score, move);
  if (score < n.beta) return false;
  RewardCutoff(move, n.depth, n.ply);
  StartLine(n.ply, move);
  return true;
}

// Takes a move that was tried already out of the list, where it is one.
void Drop(MoveList& list, Move move) {
  if (move == NO_MOVE) return;
  for (int i = 0; i < list.count; ++i) {
    if (list.moves[i] != move) continue;
    list.moves[i] = list.moves[--list.count];
    return;
  }
}

// Brings the killers of the ply that the list holds (so they are pseudo-legal here) to its front,
// the later one first, and returns how many there are.
int KillersToFront(MoveList& list, int ply) {
  const Move(&killers)[2] = state.killers[ply];
  int front = 0;
  for (int i = 0; i < list.count && front < 2; ++i)
    if (list.moves[i] == killers[0] || list.moves[i] == killers[1])
      std::swap(list.moves[i], list.moves[front++]);
  if (front == 2 && list.moves[0] != killers[0]) std::swap(list.moves[0], list.moves[1]);
  return front;
}

// Tries list.moves[first..count) at node n in the order given. In check the list holds legal moves
// only. Returns true on a cut-off.
bool TryInOrder(NodeState& n, const MoveList& list, int first, int count) {
  const bool legal = n.inCheck;  // the list holds legal moves only
  for (int i = first; i < count; ++i)
    if (TryMove(n, list.moves[i], legal)) return true;
  return false;
}

// Tries list.moves[first..count) at node n, the first few by falling key (most cut-offs come
// among them, and the rest are seldom reached), keyed only where there is a choice. Keys are never
// below 0, so once the best one left is 0 the rest keep their order. Returns true on a cut-off.
template <typename KeyOf>
bool TryByKey(NodeState& n, MoveList& list, int first, KeyOf keyOf) {
  if (list.count - first < 2) return TryInOrder(n, list, first, list.count);
  int keys[MAX_MOVES];
  for (int i = first; i < list.count; ++i) keys[i] = keyOf(list.moves[i]);
  const bool legal = n.inCheck;  // the list holds legal moves only
  bool picking = true;
  for (int i = first; i < list.count; ++i) {
    if (picking) {
      PickNext(list, keys, i);
      picking = keys[i] > 0 && i + 1 < first + SORTED_MOVES;
    }
    if (TryMove(n, list.moves[i], legal)) return true;
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
  SearchState::Run& run = state.run;
  ++run.nodes;
  run.lines[ply].length = 0;  // until a move's exact value is the node's
  // A search cut short is void: what its nodes return no longer matters.
  if (run.nodes >= run.pollAt && CutShort()) return 0;
  // Step 1. A leaf, or a node at the ply cap, is worth its material.
  if (depth <= 0 || ply >= MAX_PLY) return Evaluate();
  // This node looks at least one ply further (and so its leaves need not say how deep they are).
  run.selDepth = std::max(run.selDepth, ply + 1);
  // Step 2. In check the depth does not fall.
  if (inCheck) ++depth;
  // Step 3. At the fifty-move limit only a legal move matters: 0 with one, else mate or stalemate.
  if (FiftyMoveLimitReached()) {
    CheckRecord record;
    return !inCheck || HasLegalMove(record) ? 0 : MateScore();
  }
  // Step 4. One ply left: the frontier values the node from its best capture.
  if (depth == 1) return FrontierValue(beta, run.nodes);

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
    Drop(list, tableMove);
    cutOff = TryByKey(n, list, 0, [ply](Move move) { return MixedKey(move, ply); });
  }
  // Step 8. Captures and promotions, likelier to cut off than quiet moves.
  if (!cutOff && !inCheck) {
    GenerateCaptures(list);
    Drop(list, tableMove);
    cutOff = TryByKey(n, list, 0, CaptureKey);
  }
  // Step 9. Quiet moves; where those that give no check cannot beat the floor, only the checks.
  // First the killers, then the rest by their cut-off counts; but where the material cannot reach
  // alpha without a capture, the rest in any order: each is bounded or searched anyway.
  if (!cutOff && !inCheck) {
    if (QuietMovesCannotRaise(n)) {
      GenerateQuietChecks(list, n.record);
      PassOverQuietMoves(n, n.bestMove);
    } else {
      GenerateQuietMoves(list);
    }
    Drop(list, tableMove);
    int killers = KillersToFront(list, ply);
    if (!TryInOrder(n, list, 0, killers)) {
      if (n.standing <= alpha)
        TryInOrder(n, list, killers, list.count);
      else
        TryByKey(n, list, killers, QuietKey);
    }
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

// Tries a root move against floor, as TryMove does inside the tree: the first legal move in the
// window (floor, beta) at once, a later one first only asked whether it scores above floor, and
// searched in the window only if it does. Returns its score, exact between floor and beta (and then
// the root's line is the move's), or BELOW_ANY_SCORE when it is illegal.
int TryRootMove(Move move, int floor, int beta, int depth, bool first) {
  int score = SearchRootMove(move, floor, first ? beta : floor + 1, depth);
  if (!first && score > floor && score < beta) score = SearchRootMove(move, floor, beta, depth);
  if (score > floor && score < beta) ExtendLine(0, move);
  return score;
}

// The root exactly as the plain search runs it: moves in generation order, each later one only
// asked whether it beats the best so far. Returns what the plain root returns, with its move.
int SearchRootInOrder(const MoveList& list, bool inCheck, int alpha, int beta, int depth,
                      Move& best) {
  state.run.lines[0].length = 0;
  bool found = false;
  for (int i = 0; i < list.count; ++i) {
    Move move = list.moves[i];
    int score = TryRootMove(move, alpha, beta, depth, !found);
    if (score == BELOW_ANY_SCORE) continue;
    found = true;
    if (score <= alpha) continue;
    if (score >= beta) return UnlessFiftyMoves(beta);
    alpha = score;
    best = move;
  }
  if (!found) return inCheck ? MateScore() : 0;
  return UnlessFiftyMoves(alpha);
}

// The root. The moves are tried likeliest best first (the table's move, which an earlier search
// left on its line, then by key), each only asked whether it beats the best so far as the plain
// search ranks them: that search plays the first move in generation order that reaches the best
// value, so a move generated before the best so far must reach its value, and one generated after
// it must exceed it. Only a move that does is searched for its exact value. A move that reaches
// beta sends the root back to generation order, where the plain root's answer depends on the
// moves before it. Returns what the plain root returns, with its move.
int SearchRoot(int alpha, int beta, int depth, Move& best) {
  bool inCheck = InCheck(pos.side);
  if (inCheck) ++depth;
  MoveList list;
  GenerateMoves(list);
  const TableEntry& entry = TableSlot(pos.key);
  Move tableMove = entry.key == pos.key ? entry.move : NO_MOVE;
  int order[MAX_MOVES], keys[MAX_MOVES];  // the moves' places in generation order, and their keys
  for (int i = 0; i < list.count; ++i) {
    order[i] = i;
    keys[i] = list.moves[i] == tableMove ? TABLE_MOVE_ORDER : MixedKey(list.moves[i], 0);
  }
  SortByKey(order, keys, list.count);

  int value = BELOW_ANY_SCORE, found = -1;  // the best so far and its place
  for (int k = 0; k < list.count; ++k) {
    int i = order[k];
    Move move = list.moves[i];
    BeginRootMove(move);
    if (found >= 0 && value > alpha && i < found) {
      // A move generated before the best so far takes its place by reaching its value: asked
      // first whether it does, then whether it exceeds it. Where it only reaches it, its line is
      // known as far as the reply that holds it there (the second answer's cut-off); but a mate's
      // line must run to the mate, so there the second question asks for its value exactly.
      if (SearchRootMove(move, value - 1, value, depth) < value) continue;
      found = i;
      int floor = IsMateScore(value) ? value - 1 : value;
      int score = TryRootMove(move, floor, beta, depth, floor < value);
      if (score <= value) {
        ExtendLine(0, move);
        continue;
      }
      value = score;
    } else {
      int score = TryRootMove(move, std::max(alpha, value), beta, depth, found < 0);
      if (score == BELOW_ANY_SCORE || (found >= 0 && score <= std::max(alpha, value))) continue;
      value = score;
      found = i;
    }
    if (value >= beta) return SearchRootInOrder(list, inCheck, alpha, beta, depth, best);
  }
  if (found < 0) return inCheck ? MateScore() : 0;
  if (value <= alpha) return UnlessFiftyMoves(alpha);
  best = list.moves[found];
  return UnlessFiftyMoves(value);
}

// Leaves the moves of a line from the root in the table, for the next search to try first along
// it: the next depth of this root, or the game's next move, whose root lies on the line. A search
// visits the line's positions before any other, so nothing takes their slots first.
void RememberLine(const Line& line) {
  for (int i = 0; i < line.length; ++i) {
    TableEntry& slot = TableSlot(line.keys[i]);
    if (slot.key != line.keys[i]) {
      slot = {};  // a move without a value
      slot.key = line.keys[i];
    }
    slot.move = line.moves[i];
  }
}

// Begins a root search: a new number for its values (when the numbering wraps, none may outlive
// it), and its count and poll anew.
void BeginSearch(SearchPoll poll) {
  if (++state.searchId == 0) {
    ClearTable();
    state.searchId = 1;
  }
  state.run = {};
  if (poll) {
    state.run.poll = poll;
    state.run.pollAt = SEARCH_POLL_NODES;
  }
}

}  // namespace

SearchResult Search(int alpha, int beta, int depth, SearchPoll poll) {
  BeginSearch(poll);
  SearchState::Run& run = state.run;
  ++run.nodes;
  run.selDepth = depth > 0;  // the root's children, which the root does not record
  Move best = NO_MOVE;
  int score = depth > 0 ? SearchRoot(alpha, beta, depth, best) : Evaluate();
  bestMove = best;
  if (!run.cutShort) RememberLine(run.lines[0]);
  return {score, best, run.nodes, run.selDepth, !run.cutShort, run.lines[0]};
}

int MoversTakenAtMost(Move move) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move);
  int opponentPawn = (pos.side ^ BLACK) | PAWN, back = Forward(pos.side);  // toward its pawns
  return 2 + (b[to] != EMPTY) + (b[to + back] == opponentPawn) +
         (b[from + back + WEST] == opponentPawn) + (b[from + back + EAST] == opponentPawn);
}

void ClearSearchMemory() {
  ClearTable();
  ClearFrontierCache();
  state = {};
}
