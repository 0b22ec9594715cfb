// Making a move with full legality, and taking it back.
#include "engine/makemove.h"

#include <cassert>

#include "engine/castling.h"
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

}  // namespace

bool IsKingOrSpecialMoveLegal(Move move, CheckRecord& record) {
  int from = MoveFrom(move), to = MoveTo(move), mover = pos.side;
  const MoverKing& king = MoverKingOf(record);
  std::uint64_t occupied = pos.occupied[0] | pos.occupied[1];
  if (MoveFlags(move) & MF_CASTLE) {
    const Castling* castling = FindCastling(to);
    return castling != nullptr && castling->colour == mover && !king.checkers &&
           IsCastlingLegal(*castling, occupied, IsAttacked);
  }
  const Army enemy = ArmyOf(mover ^ BLACK);
  if (MoveFlags(move) & MF_EN_PASSANT) return IsEnPassantLegal(from, to, king, enemy);
  // The king steps onto a square that nothing attacks once it has left its own (a slider's line
  // through it would otherwise seem blocked by the king itself) and no castling right claims.
  return !(king.claimed & SquareMask(to)) &&
         !IsBitAttacked(SquareBit(to), occupied ^ SquareMask(from), enemy, ColourIndex(mover));
}

template <MakeScope SCOPE>
void MakeLegalMove(Move move, Undo& undo) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = pos.side, opponent = mover ^ BLACK;

  int piece = b[from];
  undo.captured = b[to];
  undo.fields = pos;
  int moved = MovePieces(move, mover);
  pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
  pos.epSquare = flags & MF_DOUBLE_PUSH ? Behind(to, mover) : NO_SQUARE;
  pos.side = opponent;
  assert(!InCheck(mover));
  if (SCOPE == RULES_ONLY) return;

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
}
template void MakeLegalMove<FOR_SEARCH>(Move move, Undo& undo);
template void MakeLegalMove<RULES_ONLY>(Move move, Undo& undo);

bool MakeMove(Move move, Undo& undo) {
  CheckRecord record;
  if (!IsLegal(move, record)) return false;
  MakeLegalMove(move, undo);
  return true;
}

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

template <MakeScope SCOPE>
void UndoMove(Move move, const Undo& undo) {
  pos.side ^= BLACK;
  UnmovePieces(move, pos.side, undo.captured);
  static_cast<MoveFields&>(pos) = undo.fields;
}
template void UndoMove<FOR_SEARCH>(Move move, const Undo& undo);
template void UndoMove<RULES_ONLY>(Move move, const Undo& undo);
