// The search that chooses the move to play: a fixed-depth negamax alpha-beta over material, with
// one ply more at every node whose side to move is in check.
#pragma once

#include <cstdint>

#include "engine/position.h"
#include "engine/rules.h"

constexpr int ROOT_DEPTH = 6;

// What a search tells its poll: the nodes visited so far, and when the root begins a move, the
// move and its number among the legal moves the root has begun (from 1); else NO_MOVE and 0.
struct SearchProgress {
  std::uint64_t nodes;
  Move rootMove = NO_MOVE;
  int rootMoveNumber = 0;
};

// A search that may be cut short asks its poll, every SEARCH_POLL_NODES nodes and as the root
// begins each move, whether to stop; the poll is also the one way a search reports while it runs.
// The poll refers to a callable that outlives the search, through a plain function pointer, so
// that the game, which never polls, needs no C++ runtime for it.
constexpr std::uint64_t SEARCH_POLL_NODES = 1024;
struct SearchPoll {
  bool (*ask)(const void* callable, const SearchProgress& progress) = nullptr;
  const void* callable = nullptr;

  // Returns a poll that asks the callable stop(progress).
  template <typename Stop>
  static SearchPoll Of(const Stop& stop) {
    return {[](const void* callable, const SearchProgress& progress) {
              return (*static_cast<const Stop*>(callable))(progress);
            },
            &stop};
  }
  explicit operator bool() const { return ask != nullptr; }
  bool operator()(const SearchProgress& progress) const { return ask(callable, progress); }
};

// A line of play: moves, each legal after the ones before it, and the keys of the positions they
// are played in.
struct Line {
  int length = 0;
  Move moves[MAX_PLY];
  std::uint64_t keys[MAX_PLY];
};

// The search's bound on mobility: returns the most of the opponent's movable pieces, as
// CountUnpinnedMovers counts them, that a move of the side to move takes away, for a move of a
// piece other than the king that is neither castling, en passant nor a promotion and gives no
// check: the piece it captures, a pawn whose step it blocks, the pawns that could capture on the
// square it leaves, and the pieces it pins, at most two (one with the piece it moves, one along the
// line it opens from the king). No other piece loses a square: a square left empty or taken by the
// mover stays open to the opponent. So where the opponent has more movers than this, it keeps a
// legal move, and the search need not make the move to see that it is no stalemate.
int MoversTakenAtMost(Move move);
constexpr int MOST_MOVERS_TAKEN = 6;

// What a search from the root found: its score for the side to move, the move it chose, the nodes
// it visited, the deepest ply it looked at, whether it ran to the end (a search cut short by its
// poll found nothing that may be used), and its principal variation: the move chosen and the line
// along which its value was found, as far as nodes found their values exact by searching their
// moves, or only the reply that holds the value where the move was only seen to reach it (empty
// without a move chosen).
struct SearchResult {
  int score;
  Move move;
  std::uint64_t nodes;
  int selDepth;
  bool complete;
  Line pv;
};

// Searches the position to depth (plus check extensions) within the window (alpha, beta): the one
// entry to the search. The score is the side to move's: a leaf (depth 0) scores Evaluate(); a node
// without a legal move scores MateScore() when in check and 0 otherwise (stalemate); a node with a
// legal move whose halfmove clock has reached the fifty-move limit scores 0; any other node scores
// its minimax value clamped to the window. The move chosen, also left in bestMove, is the first in
// generation order that scores above every earlier one inside the window (NO_MOVE where none
// does). The position is left as it was found. With a poll, the search stops as soon as the poll
// returns true; its values stay in the table only under this search's id, which no later search
// reads. What the search remembers to order its moves (the table's moves, the killers, and its
// line, left in the table for the next search) carries from one call to the next (see
// ClearSearchMemory); its values never depend on it.
SearchResult Search(int alpha, int beta, int depth, SearchPoll poll = {});

// Forgets everything earlier searches left behind (the table, the frontier values, the killers
// and the cut-off counts), so that what a search does, and the nodes it counts, depend on its
// position alone. Values never depend on it: only the work done to find them.
void ClearSearchMemory();
