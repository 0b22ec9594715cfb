// The search that chooses the move to play: a fixed-depth negamax alpha-beta over material, with
// one ply more at every node whose side to move is in check.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/position.h"
#include "engine/rules.h"

constexpr int ROOT_DEPTH = 6;

// Nodes visited by the searches since the counter was last cleared.
extern std::uint64_t searchNodes;

// Searches the position to depth (plus check extensions) within the window (alpha, beta) and
// returns its score for the side to move: a leaf (depth 0) scores Evaluate(); a node without a
// legal move scores MateScore() when in check and 0 otherwise (stalemate); a node with a legal
// move whose halfmove clock has reached the fifty-move limit scores 0; any other node scores its
// minimax value clamped to the window. In the root call, bestMove is set to the first move in
// generation order that scores above every earlier one inside the window. The position is left
// as it was found.
int Search(int alpha, int beta, int depth);

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

// Forgets everything earlier searches left behind (the table, the frontier values, the killers
// and the cut-off counts), so that what a search does, and the nodes it counts, depend on its
// position alone. Values never depend on it: only the work done to find them.
void ClearSearchMemory();

// Returns the best move that the last root search found for a position (by its key) whose value
// it found exact, or NO_MOVE: a move of its principal variation (or of a position sharing the
// slot, so the caller must check it).
Move ExactBestMove(std::uint64_t key);

// What a search from the root found: its score for the side to move, the move it chose (NO_MOVE
// without a legal move), the nodes it visited, the deepest ply it looked at, and whether it ran to
// the end (a search cut short by its poll found nothing that may be used).
struct SearchResult {
  int score;
  Move move;
  std::uint64_t nodes;
  int selDepth;
  bool complete;
};

// A search that may be cut short asks its poll every SEARCH_POLL_NODES nodes whether to stop.
constexpr std::uint64_t SEARCH_POLL_NODES = 1024;
using SearchPoll = std::function<bool()>;

// Searches the position to depth with the full window, as the game does, from a clean start: the
// node count, the deepest ply and bestMove begin anew (the search memory is kept: see
// ClearSearchMemory). With a poll, the search stops as soon as the poll returns true; its values
// stay in the table only under this search's id, which no later search reads.
SearchResult SearchFromRoot(int depth, const SearchPoll& poll = {});
