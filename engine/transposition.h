// The transposition table: what earlier searches found about positions, kept so that a position
// met again is not searched again and its best move is tried first.
#pragma once

#include <cstdint>

#include "engine/position.h"

enum Bound : std::uint8_t { BOUND_NONE, BOUND_UPPER, BOUND_LOWER, BOUND_EXACT };

// One remembered node. Its value may stand in for a search only under the same conditions it
// was found under (see ProbeValue); its move serves as a first guess anywhere.
struct TableEntry {
  std::uint64_t key;   // the position's Zobrist key
  Move move;           // the best or refuting move found, or NO_MOVE
  std::int16_t value;  // a bound on, or the exact value of, the node
  std::int8_t depth;   // the depth searched, after the check extension
  Bound bound;
  std::uint16_t searchId;  // which root search stored the value
  std::int8_t ply;         // moves below that root
  std::int8_t clock;       // the halfmove clock where it mattered, else CLOCK_IRRELEVANT
};

constexpr std::int8_t CLOCK_IRRELEVANT = -1;
constexpr int TABLE_BITS = 16;
constexpr std::uint64_t TABLE_SIZE = 1ull << TABLE_BITS;

// Returns the entry slot for a key.
TableEntry& TableSlot(std::uint64_t key);

// Forgets everything; used to make runs independent of what ran before.
void ClearTable();
