// Making a move with full legality, and taking it back.
#include "engine/makemove.h"

#include <cassert>

#include "engine/geometry.h"
#include "engine/zobrist.h"

namespace {

// Moves the pieces of a move of `mover`: the piece (promoted where it promotes) from `from` to
// `to`, overwriting what stood there, the rook of a castling, and the pawn an en-passant capture
// takes. Returns the code now on `to`.
int MovePieces(Move move, int mover) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int moved = flags & MF_PROMOTION ? (MovePromotion(move) & TYPE_MASK) | mover : pos.board[from];
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    PutCell(castling.rookTo, pos.board[castling.rookFrom]);
    PutCell(castling.rookFrom, EMPTY);
  }
  PutCell(to, moved);
  PutCell(from, EMPTY);
  if (flags & MF_EN_PASSANT) PutCell(Behind(to, mover), EMPTY);
  return moved;
}

// Puts back the pieces a move of `mover` moved; `captured` stood on its destination.
void UnmovePieces(Move move, int mover, int captured) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  PutCell(from, flags & MF_PROMOTION ? mover | PAWN : pos.board[to]);
  PutCell(to, captured);
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    PutCell(castling.rookFrom, pos.board[castling.rookTo]);
    PutCell(castling.rookTo, EMPTY);  // the rook's destination had to be empty
  }
  if (flags & MF_EN_PASSANT) PutCell(Behind(to, mover), (mover ^ BLACK) | PAWN);
}

// Accounts in the key for one cell's change from old to code.
void Account(int square, int old, int code) {
  pos.key ^= ZOBRIST.piece[old][square] ^ ZOBRIST.piece[code][square];
}

// Judges what can be judged of a move before anything moves: returns false when the move is
// refused, and sets settled when it is then known to be legal. A king that is safe stays safe
// after a move of another piece, other than castling or en passant, unless the move opens a line
// to it: captures only remove attackers and the arriving piece only blocks. Any other move of a
// side not known to be out of check is judged after it is made.
bool JudgeBeforeMoving(Move move, KnownLegality known, bool& settled) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move), mover = pos.side;
  settled = known == KNOWN_LEGAL;
  if (settled) return true;
  if (ColourOf(b[from]) != mover || TypeOf(b[to]) == KING) return false;
  if (flags & MF_CASTLE) {
    const Castling* castling = FindCastling(to);
    return castling != nullptr && castling->colour == mover && CastlingAllowed(*castling);
  }
  if (known != MOVER_NOT_IN_CHECK || TypeOf(b[from]) == KING || flags & MF_EN_PASSANT) return true;
  settled = true;
  int king = pos.kingSquare[ColourIndex(mover)];
  return LINE_STEP.step[king][to] == LINE_STEP.step[king][from] ||
         !UncoversAttack(king, from, mover ^ BLACK);
}

// Makes a move that JudgeBeforeMoving let through, as MakeMove does; settled as it said.
template <MakeScope SCOPE>
bool MakeJudgedMove(Move move, Undo& undo, bool settled) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = pos.side, opponent = mover ^ BLACK;

  int piece = b[from];
  undo.captured = b[to];
  undo.fields = pos;
  int moved = MovePieces(move, mover);
  // The check test sees the new rights and en-passant square: a king standing on the enemy's
  // castling destination is attacked only while the enemy keeps that right.
  pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
  pos.epSquare = flags & MF_DOUBLE_PUSH ? Behind(to, mover) : NO_SQUARE;
  if (!settled && InCheck(mover)) {
    UnmovePieces(move, mover, undo.captured);
    static_cast<MoveFields&>(pos) = undo.fields;
    return false;
  }

  pos.side = opponent;
  assert(!settled || !InCheck(mover));
  if (SCOPE == RULES_ONLY) return true;

  Account(from, piece, EMPTY);
  Account(to, undo.captured, moved);
  if (flags & MF_CASTLE) {
    const Castling* castling = FindCastling(to);
    int rook = b[castling->rookTo];
    Account(castling->rookFrom, rook, EMPTY);
    Account(castling->rookTo, EMPTY, rook);
  }
  int victim = flags & MF_EN_PASSANT ? opponent | PAWN : undo.captured;
  if (flags & MF_EN_PASSANT) Account(Behind(to, mover), victim, EMPTY);
  // Only a capture or a promotion changes the material.
  if (flags & (MF_CAPTURE | MF_PROMOTION))
    pos.material += SignedValue(moved) - SignedValue(piece) - SignedValue(victim);
  pos.key ^=
      ZOBRIST.black ^ ZOBRIST.castle[undo.fields.castleRights] ^ ZOBRIST.castle[pos.castleRights];
  if (undo.fields.epSquare != NO_SQUARE) pos.key ^= ZOBRIST.ep[undo.fields.epSquare];
  if (pos.epSquare != NO_SQUARE) pos.key ^= ZOBRIST.ep[pos.epSquare];
  pos.halfmoveClock = flags & (MF_CAPTURE | MF_PAWN) ? 0 : pos.halfmoveClock + 1;
  if (mover == BLACK) ++pos.fullmoveNumber;
  if (pos.historyLength < MAX_HISTORY) ++pos.historyLength;
  assert(pos.key == ComputeKey());
  return true;
}

}  // namespace

template <MakeScope SCOPE>
bool MakeMove(Move move, Undo& undo, KnownLegality known) {
  bool settled;
  return JudgeBeforeMoving(move, known, settled) && MakeJudgedMove<SCOPE>(move, undo, settled);
}
template bool MakeMove<FOR_SEARCH>(Move move, Undo& undo, KnownLegality known);
template bool MakeMove<RULES_ONLY>(Move move, Undo& undo, KnownLegality known);

bool MakeMove(Move move) {
  Undo undo;
  if (!MakeMove(move, undo)) return false;
  // The game's record of the position: its hash, in the history while there is room, and its key.
  ComputeHash();
  if (undo.fields.historyLength < MAX_HISTORY) pos.history[undo.fields.historyLength] = pos.hash;
  pos.keyRing[pos.plyCount % KEY_RING] = pos.key;
  ++pos.plyCount;
  return true;
}

void UndoMove(Move move, const Undo& undo) {
  pos.side ^= BLACK;
  UnmovePieces(move, pos.side, undo.captured);
  static_cast<MoveFields&>(pos) = undo.fields;
}

bool IsLegal(Move move, KnownLegality known) {
  bool settled;
  if (!JudgeBeforeMoving(move, known, settled)) return false;
  if (settled) return true;
  Undo undo;
  if (!MakeJudgedMove<RULES_ONLY>(move, undo, false)) return false;
  UndoMove(move, undo);
  return true;
}
