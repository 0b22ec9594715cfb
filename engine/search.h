// The search that chooses the move to play: a fixed-depth negamax alpha-beta over material, with
// one ply more at every node whose side to move is in check.
#pragma once

#include <cstdint>

#include "engine/position.h"

constexpr int SCORE_INF = 10000;
constexpr int ROOT_DEPTH = 6;

// The search path is cut at this many plies below the root: a node there is scored like a leaf.
// Only a line in which nearly every move escapes check while giving check gets this deep (each
// in-check node keeps the depth from falling), and such a line could otherwise go on for ever.
// The self-played game's deepest search path is far shorter, so the cap changes none of its
// searches.
constexpr int MAX_PLY = 64;
static_assert(MAX_PLY + 100 <= KEY_RING, "a search must not overwrite the game's latest keys");

// Nodes visited by the searches since the counter was last cleared.
extern std::uint64_t searchNodes;

// Searches the position to depth (plus check extensions) within the window (alpha, beta) and
// returns its score for the side to move: a leaf (depth 0) scores Evaluate(); a node without a
// legal move scores historyLength - SCORE_INF when in check (mate) and 0 otherwise (stalemate);
// a node with a legal move and a halfmove clock of 100 or more scores 0; any other node scores
// its minimax value clamped to the window. In the root call, bestMove is set to the first move
// in generation order that scores above every earlier one inside the window. The position is
// left as it was found.
int Search(int alpha, int beta, int depth);
