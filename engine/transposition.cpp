// The transposition table.
#include "engine/transposition.h"

namespace {

// One static table, allocated with the program: nothing is allocated while searching.
TableEntry table[TABLE_SIZE];

}  // namespace

TableEntry& TableSlot(std::uint64_t key) { return table[key & (TABLE_SIZE - 1)]; }

void ClearTable() {
  for (TableEntry& entry : table) entry = TableEntry{};
}
