// The search that chooses the move to play: a fixed-depth negamax alpha-beta over material, with
// one ply more at every node whose side to move is in check.
#pragma once

#include <cstdint>

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

// Forgets everything earlier searches left behind (the table, the frontier values, the killers
// and the cut-off counts), so that what a search does, and the nodes it counts, depend on its
// position alone. Values never depend on it: only the work done to find them.
void ClearSearchMemory();
