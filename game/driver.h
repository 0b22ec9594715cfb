// The game driver: the engine plays both sides, one turn at a time, until the game ends.
#pragma once

#include <cstdint>

#include "engine/position.h"
#include "engine/rules.h"
#include "engine/search.h"

struct Turn {
  Move move;            // NO_MOVE when the side to move had no legal move
  int score;            // the root score of the search
  std::uint64_t nodes;  // the nodes the search visited
  Verdict verdict;      // the game's verdict on the position the turn left (PLAY_ON until played)
};

// Returns the turn that a search of the position (the game's, or another of the same contract
// such as the plain reference search) chose: its move, score and nodes, not yet played.
Turn TurnOf(const SearchResult& searched);

// Searches the position with the game's search, as deep as the game does with the full window,
// and returns the turn it chose. The position is left as it was.
Turn ChooseMove();

// Makes the turn's move, if it has one, and sets its verdict on the position that follows (or,
// with no move, on the position as it stands).
void PlayMove(Turn& turn);

// Chooses a move with the game's search and plays it. Prints nothing.
Turn TakeTurn();

// Returns the line the game ends with for a verdict ("CHECKMATE!", "STALEMATE!" or "DRAW!"), or
// nullptr for PLAY_ON.
const char* ResultLine(Verdict verdict);

// Plays one turn and prints what it shows: "CHECK!" and the new board, and the result line when
// the game is over. Returns false once it is.
bool PlayTurn();

// The whole program: sets up the game, prints the board, plays until the game ends, waits for
// Enter and ends the process with status 0.
[[noreturn]] void RunGame();
