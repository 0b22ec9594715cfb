// The last ply of the search: a node whose children are all leaves, scored by material alone.
#pragma once

// Returns true when the side to move, in check or not, has a legal move.
bool HasLegalMove(bool inCheck);

// Returns the value of a node with one ply left, whose side to move is not in check (a check
// would have added a ply): exactly, or as a lower bound when that is at or above beta.
int FrontierValue(int beta);
