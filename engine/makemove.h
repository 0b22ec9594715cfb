// Making a move with full legality, and taking it back.
#pragma once

#include "engine/check_record.h"
#include "engine/position.h"

// What UndoMove needs to take a move back exactly: what stood on the destination and the fields
// the move changes, as they were before it. The last four are kept in the FOR_SEARCH scope only.
struct Undo {
  std::int32_t captured;  // EMPTY for a quiet move, castling and en passant
  std::int32_t epSquare, castleRights;
  std::int32_t halfmoveClock, historyLength, material;
  std::uint64_t key;
};

// How much of the position a move brings up to date: what the rules read (the board and the
// state derived from it, castling rights, en-passant square, side), which is all that counting
// moves needs, or also what a search reads (the key, the material, the halfmove clock and the
// history length).
enum MakeScope { RULES_ONLY, FOR_SEARCH };

// Returns true when IsLegal allows a generated king move, castling or en passant of pos.side.
bool IsKingOrSpecialMoveLegal(Move move, CheckRecord& record);

// Returns true when the rules allow the generated move of pos.side: the one legality test, judged
// before the move from the position's check record. Refused: a move of a piece that is not the
// mover's, a capture of a king, a move that leaves the mover's king attacked, and castling out of
// check, through occupied cells or across a square that is not safe (IsCastlingLegal).
inline bool IsLegal(Move move, CheckRecord& record) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move);
  if (ColourOf(b[from]) != pos.side || TypeOf(b[to]) == KING) return false;
  if (TypeOf(b[from]) == KING || MoveFlags(move) & MF_EN_PASSANT)
    return IsKingOrSpecialMoveLegal(move, record);
  if (MovesFreely(record, from)) return true;
  // Any other move answers a check by taking the checker or stepping between, and keeps a pinned
  // piece on its line (which shares no square but the king's with a checker's).
  const MoverKing& king = MoverKingOf(record);
  int kingSquare = pos.kingSquare[ColourIndex(pos.side)];
  return king.evasions & SquareMask(to) &&
         (!(king.lines.pinned & SquareMask(from)) ||
          LINE_STEP.step[kingSquare][to] == LINE_STEP.step[kingSquare][from]);
}

// Makes a move that IsLegal allows (or the legal generator gave), updating what SCOPE names. It
// does not record the position in the game's record (hash, history, key ring), which only the
// game's own moves do. UndoMove in the same scope takes it back.
template <MakeScope SCOPE = FOR_SEARCH>
void MakeLegalMove(Move move, Undo& undo);

// Makes the generated move and returns true when IsLegal allows it; otherwise returns false and
// changes nothing.
bool MakeMove(Move move, Undo& undo);

// Makes a move of the game, as above, and records the new position: its hash, stored in the
// history while there is room, and its key, in the key ring that repetitions are counted in.
bool MakeMove(Move move);

// Takes back a move that MakeLegalMove made in this scope, given the record it filled.
template <MakeScope SCOPE = FOR_SEARCH>
void UndoMove(Move move, const Undo& undo);
