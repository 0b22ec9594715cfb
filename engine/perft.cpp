// Perft.
#include "engine/perft.h"

#include "engine/attack.h"
#include "engine/makemove.h"
#include "engine/movegen.h"

std::uint64_t Perft(int depth) {
  if (depth <= 0) return 1;
  MoveList list;
  GenerateMoves(list);
  std::uint64_t nodes = 0;
  bool inCheck = InCheck(pos.side);
  for (int i = 0; i < list.count; ++i) {
    Undo undo;
    if (!MakeMove(list.moves[i], undo, inCheck)) continue;
    nodes += depth == 1 ? 1 : Perft(depth - 1);
    UndoMove(list.moves[i], undo);
  }
  return nodes;
}
