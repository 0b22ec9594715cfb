// The game driver.
#include "game/driver.h"

#include <algorithm>

#include "engine/attack.h"
#include "engine/makemove.h"
#include "engine/search.h"
#include "game/board.h"
#include "game/console.h"

int RepetitionCount() {
  // Strong keys rather than the 32-bit hash: the hash ignores the side to move and folds the
  // board into eleven bits, so different positions can share it. The key ring keeps going after
  // the hash history stops at MAX_HISTORY entries.
  int window = std::min({pos.halfmoveClock, pos.plyCount, KEY_RING - MAX_PLY});
  int count = 0;
  for (int n = pos.plyCount - window + 1; n <= pos.plyCount; ++n)
    if (pos.keyRing[(n - 1) % KEY_RING] == pos.key) ++count;
  return count;
}

Turn TakeTurn() { return TakeTurnWith(Search); }

Turn TakeTurnWith(int (*search)(int alpha, int beta, int depth)) {
  bestMove = NO_MOVE;
  int score = search(-SCORE_INF, SCORE_INF, ROOT_DEPTH);
  Move move = bestMove;
  if (move == NO_MOVE) return {move, score, InCheck(pos.side) ? CHECKMATE : STALEMATE};
  MakeMove(move);
  if (pos.halfmoveClock >= 100 || RepetitionCount() >= 3) return {move, score, DRAW};
  return {move, score, InCheck(pos.side) ? MOVED_CHECK : MOVED};
}

bool PlayTurn() {
  switch (TakeTurn().result) {
    case CHECKMATE:
      ConsoleWriteLine("CHECKMATE!");
      return false;
    case STALEMATE:
      ConsoleWriteLine("STALEMATE!");
      return false;
    case DRAW:
      ConsoleWriteLine("DRAW!");
      return false;
    case MOVED_CHECK:
      ConsoleWriteLine("CHECK!");
      [[fallthrough]];
    case MOVED:
      PrintBoard();
  }
  return true;
}

void RunGame() {
  InitPosition();
  PrintBoard();
  while (PlayTurn()) {
  }
  ConsoleReadLine();
  ConsoleExit(0);
}
