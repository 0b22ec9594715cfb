// Perft: the number of legal move sequences of a given length, the first test of the rules.
#pragma once

#include <cstdint>

// How perft counts the moves of its last ply: by summing bits in place, or with the CPU's own
// instruction where the CPU has one.
enum BitCount { PLAIN_BIT_COUNT, CPU_BIT_COUNT };

// Returns the number of move sequences of length depth from pos that the rules allow.
std::uint64_t Perft(int depth, BitCount bitCount = CPU_BIT_COUNT);
