// The last ply of the search: a node whose children are all leaves, scored by material alone.
#pragma once

#include <cstdint>

// Returns the value of a node with one ply left, whose side to move is not in check (a check
// would have added a ply): exactly, or as a lower bound when that is at or above beta. Adds to
// nodes the leaf that decides it, when it looks at one.
int FrontierValue(int beta, std::uint64_t& nodes);

// Forgets the frontier values found so far.
void ClearFrontierCache();
