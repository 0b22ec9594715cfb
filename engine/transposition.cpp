// The transposition table.
#include "engine/transposition.h"

namespace {

// One static table, allocated with the program: nothing is allocated while searching.
TableEntry table[TABLE_SIZE];

constexpr std::uint16_t STALE_AFTER_SEARCHES = 2;

// Returns the first entry of the key's pair.
TableEntry* PairOf(std::uint64_t key) { return &table[key & (TABLE_SIZE - 2)]; }

}  // namespace

TableEntry& TableSlot(std::uint64_t key) {
  TableEntry* pair = PairOf(key);
  return pair[0].key == key ? pair[0] : pair[1];
}

TableEntry& TableSlotToStore(std::uint64_t key, int depth, std::uint16_t searchId) {
  TableEntry* pair = PairOf(key);
  bool stale = static_cast<std::uint16_t>(searchId - pair[0].searchId) > STALE_AFTER_SEARCHES;
  return pair[0].key == key || depth >= pair[0].depth || stale ? pair[0] : pair[1];
}

void ClearTable() {
  for (TableEntry& entry : table) entry = TableEntry{};
}
