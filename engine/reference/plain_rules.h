// The rules as they are defined, done the slow and obvious way: the yardsticks the engine's fast
// attack tests, make move and evaluation are checked against. Only the tests and the developer's
// tool link them; the game does not.
#pragma once

#include "engine/position.h"

// Returns true when some pseudo-legal move of colour `by` lands on square: generates them all and
// looks; under standard rules castling moves do not count. The definition IsAttacked must match.
bool IsAttackedByGenerator(int square, int by);

// Returns true when the first king of `colour` found scanning the board is attacked by the other
// colour, by IsAttackedByGenerator; false when there is none.
bool InCheckByGenerator(int colour);

// Makes a generated move as the rules define it, deciding legality with the generator-based
// tests: saves the fields, moves the pieces, recomputes everything derived from the board, and
// writes the saved fields back if the mover's king is left attacked. Returns what MakeMove
// returns and leaves the position as MakeMove leaves it.
bool MakeMoveByDefinition(Move move);

// Returns the material balance for the side to move, summed over all 120 cells.
int EvaluateByScan();
