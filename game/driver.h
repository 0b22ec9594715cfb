// The game driver: the engine plays both sides, one turn at a time, until the game ends.
#pragma once

#include "engine/position.h"
#include "engine/rules.h"

struct Turn {
  Move move;        // NO_MOVE when the side to move had no legal move
  int score;        // the root score of the search
  Verdict verdict;  // the game's verdict on the position the turn left
};

// Searches the position, makes the move found and returns it with the verdict on the position
// it led to (or, with no legal move, on the position as it stands). Prints nothing.
Turn TakeTurn();

// The same with another search of the same contract, such as the plain reference search.
Turn TakeTurnWith(int (*search)(int alpha, int beta, int depth));

// Returns the line the game ends with for a verdict ("CHECKMATE!", "STALEMATE!" or "DRAW!"), or
// nullptr for PLAY_ON.
const char* ResultLine(Verdict verdict);

// Plays one turn and prints what it shows: "CHECK!" and the new board, and the result line when
// the game is over. Returns false once it is.
bool PlayTurn();

// The whole program: sets up the game, prints the board, plays until the game ends, waits for
// Enter and ends the process with status 0.
[[noreturn]] void RunGame();
