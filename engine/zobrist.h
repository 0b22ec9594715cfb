// Zobrist numbers: a fixed random 64-bit number for each piece on each square, for black to move,
// for each castling-rights value and for each en-passant square. A position's key is the XOR of
// the numbers of what it holds, so a move updates the key by XORing out and in what it changes.
#pragma once

#include <cstdint>

#include "engine/position.h"

struct ZobristTables {
  std::uint64_t piece[CODE_COUNT][BOARD_SIZE] = {};  // rows for EMPTY and OFFBOARD stay 0
  std::uint64_t black = 0;
  std::uint64_t castle[ALL_CASTLE_RIGHTS + 1] = {};
  std::uint64_t ep[BOARD_SIZE] = {};
};

// SplitMix64: a fixed, well-mixed sequence, so every run uses the same numbers.
constexpr std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Fills the tables from the fixed sequence.
constexpr ZobristTables MakeZobrist() {
  ZobristTables z;
  std::uint64_t state = 2026;
  for (int code = 0; code < CODE_COUNT; ++code)
    if (IsPiece(TypeOf(code)))
      for (auto& v : z.piece[code]) v = SplitMix(state);
  z.black = SplitMix(state);
  for (auto& v : z.castle) v = SplitMix(state);
  for (auto& v : z.ep) v = SplitMix(state);
  return z;
}

inline constexpr ZobristTables ZOBRIST = MakeZobrist();
