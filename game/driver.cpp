// The game driver.
#include "game/driver.h"

#include "engine/attack.h"
#include "engine/makemove.h"
#include "engine/search.h"
#include "game/board.h"
#include "game/console.h"

const char* ResultLine(Verdict verdict) {
  switch (verdict) {
    case PLAY_ON:
      return nullptr;
    case CHECKMATE:
      return "CHECKMATE!";
    case STALEMATE:
      return "STALEMATE!";
    default:
      return "DRAW!";
  }
}

Turn TurnOf(const SearchResult& searched) {
  return {searched.move, searched.score, searched.nodes, PLAY_ON};
}

Turn ChooseMove() { return TurnOf(Search(-SCORE_INF, SCORE_INF, ROOT_DEPTH)); }

void PlayMove(Turn& turn) {
  if (turn.move != NO_MOVE) MakeMove(turn.move);
  turn.verdict = GameVerdict();
}

Turn TakeTurn() {
  Turn turn = ChooseMove();
  PlayMove(turn);
  return turn;
}

bool PlayTurn() {
  Turn turn = TakeTurn();
  bool drawn = turn.verdict == DRAW_BY_FIFTY_MOVES || turn.verdict == DRAW_BY_REPETITION;
  // A drawing move ends the game at once; any other move shows its position, mate included.
  if (turn.move != NO_MOVE && !drawn) {
    if (InCheck(pos.side)) ConsoleWriteLine("CHECK!");
    PrintBoard();
  }
  if (turn.verdict == PLAY_ON) return true;
  ConsoleWriteLine(ResultLine(turn.verdict));
  return false;
}

void RunGame() {
  InitPosition();
  PrintBoard();
  while (PlayTurn()) {
  }
  ConsoleReadLine();
  ConsoleExit(0);
}
