// Making a move with full legality, and taking it back.
#pragma once

#include "engine/attack.h"
#include "engine/castling.h"
#include "engine/position.h"

// What UndoMove needs to take a move back exactly.
struct Undo {
  std::int32_t captured;  // the code that stood on the to-square
  MoveFields fields;      // as they were before the move
};

// What a caller knows of a move's legality, which lets MakeMove cut its test short.
enum KnownLegality {
  LEGALITY_UNKNOWN,
  MOVER_NOT_IN_CHECK,  // the mover is not in check now: only a line the move opens can matter
  KNOWN_LEGAL,         // the legal generator gave the move: nothing is tested
};

// Returns what is known of every move's legality where the mover is, or is not, in check.
constexpr KnownLegality KnownFromCheck(bool moverInCheck) {
  return moverInCheck ? LEGALITY_UNKNOWN : MOVER_NOT_IN_CHECK;
}

// How much of the position a move brings up to date: what the rules read (the board and the
// state derived from it, castling rights, en-passant square, side), which is all that counting
// moves needs, or also what a search reads (the key, the material, the halfmove clock and the
// history length).
enum MakeScope { RULES_ONLY, FOR_SEARCH };

// Makes a generated move of pos.side and returns true, or refuses it and returns false leaving
// every field of pos as it was. Refused: a move of a piece that is not the mover's, a capture of
// a king, a move that leaves the mover's king attacked, and castling that CastlingAllowed refuses.
// A successful move updates what SCOPE names; it does not record the position in the game's
// record (hash, history, key ring), which only the game's own moves do. UndoMove takes it back
// in either scope.
template <MakeScope SCOPE = FOR_SEARCH>
bool MakeMove(Move move, Undo& undo, KnownLegality known = LEGALITY_UNKNOWN);

// Makes a move of the game, as above, and records the new position: its hash, stored in the
// history while there is room, and its key, in the key ring that repetitions are counted in.
bool MakeMove(Move move);

// Takes back a move that MakeMove made, given the record it filled.
void UndoMove(Move move, const Undo& undo);

// Returns true when MakeMove accepts the move: the one legality test of a generated move. The
// position is left as it was.
bool IsLegal(Move move, KnownLegality known = LEGALITY_UNKNOWN);
