// The game driver: the engine plays both sides, one turn at a time, until the game ends.
#pragma once

#include "engine/position.h"

enum TurnResult { MOVED, MOVED_CHECK, CHECKMATE, STALEMATE, DRAW };

struct Turn {
  Move move;  // NO_MOVE when the side to move had no legal move
  int score;  // the root score of the search
  TurnResult result;
};

// Returns how many of the positions reached since the last capture or pawn move are the current
// one: the same board, side to move, castling rights and en-passant square. The current position
// counts itself; the position reached by the capture or pawn move does not count.
int RepetitionCount();

// Searches the position, makes the move found and returns what it led to: mate or stalemate when
// there was no legal move, a draw when the halfmove clock reaches 100 or the position has now
// occurred three times, otherwise whether the side now to move is in check. Prints nothing.
Turn TakeTurn();

// The same with another search of the same contract, such as the plain reference search.
Turn TakeTurnWith(int (*search)(int alpha, int beta, int depth));

// Plays one turn and prints what it shows: "CHECK!" and the new board, or the result line.
// Returns false once the game is over.
bool PlayTurn();

// The whole program: sets up the game, prints the board, plays until the game ends, waits for
// Enter and ends the process with status 0.
[[noreturn]] void RunGame();
