// The transposition table: what earlier searches found about positions, kept so that a position
// met again is not searched again and its best move is tried first.
#pragma once

#include <cstdint>

#include "engine/position.h"

enum Bound : std::uint8_t { BOUND_NONE, BOUND_UPPER, BOUND_LOWER, BOUND_EXACT };

// One remembered node. Its value may stand in for a search only under the conditions it was
// found under: the same root search (searchId), ply and depth. Within one root search the ply
// fixes everything else a node's value depends on beyond its position: the history length, the
// distance to the ply cap and, wherever it can matter, the halfmove clock. For the clock: two
// paths of the same length from the root to one position either both contain a capture or pawn
// move or neither does (such moves cannot be undone, and the position is the same). If neither
// does, both clocks are the root's plus the ply. If both do, both are below the ply, so no node
// below reaches the fifty-move limit before the ply cap and the clock changes nothing. The move
// serves as a first guess anywhere.
struct TableEntry {
  std::uint64_t key;   // the position's Zobrist key
  Move move;           // the best or refuting move found, or NO_MOVE
  std::int16_t value;  // a bound on, or the exact value of, the node
  std::int8_t depth;   // the depth searched, after the check extension
  Bound bound;
  std::uint16_t searchId;  // which root search stored the value
  std::int8_t ply;         // moves below that root
};

// The entries come in pairs, a key's low bits picking its pair. The first of a pair keeps the
// deepest result, the costliest to find again, until one at least as deep comes for it or it
// grows stale; the second takes the rest. So the moves near the root of one search are still
// there for the next, while the many shallow nodes churn through the second entries.
constexpr std::uint64_t TABLE_SIZE = 1ull << 16;  // entries, a power of two

// Returns the key's entry, or when its pair has none, the second of the pair (so the caller
// checks the key).
TableEntry& TableSlot(std::uint64_t key);

// Returns the entry to store a result of this depth for the key in, found by the root search
// numbered searchId: the key's own entry in the first of the pair, else the first where the
// result is at least as deep as what it holds or that is stale (stored more than two root
// searches before: by the same side's previous move in the game, or two depths before), else
// the second.
TableEntry& TableSlotToStore(std::uint64_t key, int depth, std::uint16_t searchId);

// Forgets every entry.
void ClearTable();
