// Making a move with full legality, and taking it back.
#pragma once

#include "engine/position.h"

// castleRights is ANDed with the mask of a move's from- and to-square, so a right survives only
// while nothing has moved from or onto its king's or rook's home square.
// clang-format off
inline constexpr std::int32_t CASTLE_MASK[BOARD_SIZE] = {
  0,  0,  0,  0,  0,  0,  0,  0,  0, 0,
  0,  0,  0,  0,  0,  0,  0,  0,  0, 0,
  0,  7, 15, 15, 15,  3, 15, 15, 11, 0,
  0, 15, 15, 15, 15, 15, 15, 15, 15, 0,
  0, 15, 15, 15, 15, 15, 15, 15, 15, 0,
  0, 15, 15, 15, 15, 15, 15, 15, 15, 0,
  0, 15, 15, 15, 15, 15, 15, 15, 15, 0,
  0, 15, 15, 15, 15, 15, 15, 15, 15, 0,
  0, 15, 15, 15, 15, 15, 15, 15, 15, 0,
  0, 13, 15, 15, 15, 12, 15, 15, 14, 0,
  0,  0,  0,  0,  0,  0,  0,  0,  0, 0,
  0,  0,  0,  0,  0,  0,  0,  0,  0, 0,
};
// clang-format on

// What UndoMove needs to take a move back exactly.
struct Undo {
  std::int32_t piece;     // the code that stood on the from-square
  std::int32_t captured;  // the code that stood on the to-square
  std::int32_t epVictim;  // the pawn removed by an en-passant capture
  std::int32_t castleRights, epSquare, halfmoveClock, historyLength, material;
  std::uint32_t hash;
  std::uint64_t key;
  std::uint64_t occupied[2], pawns[2];
};

// Makes a generated move of pos.side and returns true, or refuses it and returns false leaving
// every field of pos as it was. Refused: a move of a piece that is not the mover's, a capture of
// a king, a move that leaves the mover's king attacked, and castling out of check, through or
// onto an attacked square, or with a cell between king and rook occupied. A successful move
// updates board, castling rights, en-passant square, halfmove clock, side, hash and history.
// moverInCheck may be false only when the caller knows that the mover is not in check now; the
// check test is then cut short.
bool MakeMove(Move move, Undo& undo, bool moverInCheck = true);
bool MakeMove(Move move);

// The same, deciding legality with the generator-based attack tests, the definitions: slow, for
// the plain reference search.
bool MakeMoveByDefinition(Move move);

// Takes back a move that MakeMove made, given the record it filled.
void UndoMove(Move move, const Undo& undo);
