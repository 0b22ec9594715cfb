// Evaluation by material alone.
#include "engine/evaluate.h"

#include <cassert>

#include "engine/position.h"

int EvaluateByScan() {
  int sum = 0;
  for (int i = 0; i < BOARD_SIZE; ++i) {
    int c = pos.board[i];
    sum += c & 8 ? -PIECE_VALUE[c & 7] : PIECE_VALUE[c & 7];  // empty and border add 0
  }
  return pos.side == WHITE ? sum : -sum;
}

int Evaluate() {
  // pos.material is the same sum kept up to date move by move.
  assert((pos.side == WHITE ? pos.material : -pos.material) == EvaluateByScan());
  return pos.side == WHITE ? pos.material : -pos.material;
}
