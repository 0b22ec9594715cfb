// Evaluation by material alone.
#pragma once

#include <cstdint>

// Material by piece type: pawn 1, knight 3, bishop 3, rook 5, queen 9, king 15 (the two kings
// cancel); empty and border cells 0.
inline constexpr std::int32_t PIECE_VALUE[8] = {0, 1, 3, 3, 5, 9, 15, 0};

// Returns a cell's material from white's point of view: positive for white, negative for black.
constexpr int SignedValue(int code) {
  return code & 8 ? -PIECE_VALUE[code & 7] : PIECE_VALUE[code & 7];
}

// Returns the material balance from the side to move's point of view.
int Evaluate();

// The same, summed over all 120 cells; the definition Evaluate's running total must match.
int EvaluateByScan();
