// Evaluation by material alone.
#include "engine/evaluate.h"

#include "engine/position.h"

int Evaluate() {
  // pos.material is the board's signed sum, kept up to date move by move.
  return pos.side == WHITE ? pos.material : -pos.material;
}
