// The board's geometry: the lines through a square, which squares share a line, and the bits of
// files and ranks. What a piece reaches from each square, by bit, is in bitboards.h.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/position.h"

// The eight lines from a square (ranks, files, diagonals), in the order of DIRECTIONS[QUEEN]: the
// first four run toward lower squares, the last four toward higher ones.
inline constexpr const std::int32_t (&LINES)[9] = DIRECTIONS[QUEEN];
constexpr int LINE_COUNT = 8;

// Returns true when line i runs toward lower squares (and so toward lower bits).
constexpr bool RunsTowardLowerSquares(int i) { return i < LINE_COUNT / 2; }
static_assert(LINES[3] < 0 && LINES[4] > 0, "the first four lines run toward lower squares");

// Returns the index into LINES of a one-square step.
constexpr int LineIndex(int step) {
  int i = 0;
  while (LINES[i] != step) ++i;
  return i;
}

// Returns the line opposite line i: the other half of the same rank, file or diagonal.
constexpr int OppositeLine(int i) { return LINE_COUNT - 1 - i; }
static_assert(LINES[OppositeLine(0)] == -LINES[0] && LINES[OppositeLine(3)] == -LINES[3]);

// Returns the bit of the square in `set` (not empty, all on line i from some square) nearest that
// square: toward lower squares the nearest is the highest bit; toward higher ones, the lowest.
inline int NearestOnLine(int i, std::uint64_t set) {
  return RunsTowardLowerSquares(i) ? 63 - std::countl_zero(set) : std::countr_zero(set);
}

// Returns the bits of the squares of one file (0 = a) or one rank (0 = the first). The bits run
// row by row from a8 (see SquareBit): a file takes every eighth, a rank eight in a row.
constexpr std::uint64_t FileBits(int file) { return 0x0101010101010101ull << file; }
constexpr std::uint64_t RankBits(int rank) { return 0xFFull << 8 * (RANK_COUNT - 1 - rank); }

// LINE_STEP.step[a][b]: the one-square step that leads from a to b along a rank, file or
// diagonal, or 0 when the two squares share no line.
struct LineSteps {
  std::int8_t step[BOARD_SIZE][BOARD_SIZE] = {};
};
constexpr LineSteps MakeLineSteps() {
  LineSteps lines;
  for (int from = A8; from <= H1; ++from)
    for (int d : LINES)
      for (int to = from + d; d != 0 && IsPlayingSquare(from) && IsPlayingSquare(to); to += d)
        lines.step[from][to] = static_cast<std::int8_t>(d);
  return lines;
}
inline constexpr LineSteps LINE_STEP = MakeLineSteps();
