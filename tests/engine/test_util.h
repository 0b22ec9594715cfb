// Helpers shared by the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/movegen.h"
#include "engine/notation.h"
#include "engine/position.h"

// Sets pos from a FEN the test relies on; a bad one fails the test at once.
inline void SetFen(const std::string& fen) {
  std::string error;
  ASSERT_TRUE(SetPositionFromFen(fen, error)) << fen << ": " << error;
}

// The generated moves of the side to move in coordinate notation, in generation order.
inline std::string GeneratedMoves() {
  MoveList list;
  GenerateMoves(list);
  std::string text;
  for (int i = 0; i < list.count; ++i) {
    if (i) text += ' ';
    text += MoveToString(list.moves[i]);
  }
  return text;
}

// The generated move with this coordinate notation, or NO_MOVE.
inline Move FindMove(const std::string& name) {
  MoveList list;
  GenerateMoves(list);
  for (int i = 0; i < list.count; ++i)
    if (MoveToString(list.moves[i]) == name) return list.moves[i];
  return NO_MOVE;
}

// True when every field of the two positions that the rules read or write is the same.
inline bool SamePosition(const Position& a, const Position& b) {
  return std::memcmp(a.board, b.board, sizeof a.board) == 0 && a.side == b.side &&
         a.epSquare == b.epSquare && a.castleRights == b.castleRights &&
         a.halfmoveClock == b.halfmoveClock && a.historyLength == b.historyLength &&
         a.hash == b.hash &&
         std::memcmp(a.history, b.history, sizeof a.history[0] * a.historyLength) == 0 &&
         a.kingSquare[0] == b.kingSquare[0] && a.kingSquare[1] == b.kingSquare[1] &&
         a.occupied[0] == b.occupied[0] && a.occupied[1] == b.occupied[1] &&
         a.pawns[0] == b.pawns[0] && a.pawns[1] == b.pawns[1] && a.material == b.material &&
         a.key == b.key && a.plyCount == b.plyCount;
}
