// Evaluation by material alone (the piece values stand with the piece codes in position.h).
#pragma once

// Returns the material balance from the side to move's point of view: white's piece values less
// black's, negated when black is to move. The kings cancel.
int Evaluate();
