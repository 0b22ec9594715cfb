// Perft: the number of legal move sequences of a given length, the first test of the rules.
#pragma once

#include <cstdint>

// Returns the number of move sequences of length depth from pos that MakeMove accepts.
std::uint64_t Perft(int depth);
