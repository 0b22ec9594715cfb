// Making a move with full legality, and taking it back.
#include "engine/makemove.h"

#include <cassert>

#include "engine/castling.h"
#include "engine/geometry.h"
#include "engine/zobrist.h"

namespace {

// The board and set operations that moves are made of. SCOPE FOR_SEARCH brings the key and the
// material along; undo asks for neither, as it puts back their saved values.

// Moves `code` from `from` onto the empty square `to`.
template <MakeScope SCOPE>
inline void ShiftPiece(int code, int from, int to) {
  std::uint64_t bits = SquareMask(from) | SquareMask(to);
  pos.board[from] = EMPTY;
  pos.board[to] = code;
  pos.pieces[code] ^= bits;
  pos.occupied[ColourIndex(ColourOf(code))] ^= bits;
  if (TypeOf(code) == KING) pos.kingSquare[ColourIndex(ColourOf(code))] = to;
  if (SCOPE == FOR_SEARCH) pos.key ^= ZOBRIST.piece[code][from] ^ ZOBRIST.piece[code][to];
}

// Flips `code` on `square` in the sets, and in the key for the search: the same whether the
// piece arrives or leaves.
template <MakeScope SCOPE>
inline void FlipPiece(int code, int square) {
  pos.pieces[code] ^= SquareMask(square);
  pos.occupied[ColourIndex(ColourOf(code))] ^= SquareMask(square);
  if (SCOPE == FOR_SEARCH) pos.key ^= ZOBRIST.piece[code][square];
}

// Takes `code` off `square`.
template <MakeScope SCOPE>
inline void LiftPiece(int code, int square) {
  pos.board[square] = EMPTY;
  FlipPiece<SCOPE>(code, square);
  if (SCOPE == FOR_SEARCH) pos.material -= SignedValue(code);
}

// Puts `code` on the empty square `square`.
template <MakeScope SCOPE>
inline void DropPiece(int code, int square) {
  pos.board[square] = code;
  FlipPiece<SCOPE>(code, square);
  if (SCOPE == FOR_SEARCH) pos.material += SignedValue(code);
}

// Moves the pieces of a castling, an en passant or a promotion of `mover`; `captured` stands on
// the destination. Undone by UnmoveSpecialPieces.
template <MakeScope SCOPE>
void MoveSpecialPieces(Move move, int mover, int captured) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    ShiftPiece<SCOPE>(mover | KING, from, to);
    ShiftPiece<SCOPE>(mover | ROOK, castling.rookFrom, castling.rookTo);
  } else if (flags & MF_EN_PASSANT) {
    LiftPiece<SCOPE>((mover ^ BLACK) | PAWN, Behind(to, mover));
    ShiftPiece<SCOPE>(mover | PAWN, from, to);
  } else {
    LiftPiece<SCOPE>(mover | PAWN, from);
    if (captured != EMPTY) LiftPiece<SCOPE>(captured, to);
    DropPiece<SCOPE>(mover | (MovePromotion(move) & TYPE_MASK), to);
  }
}

// Puts back the pieces that MoveSpecialPieces moved.
void UnmoveSpecialPieces(Move move, int mover, int captured) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    ShiftPiece<RULES_ONLY>(mover | KING, to, from);
    ShiftPiece<RULES_ONLY>(mover | ROOK, castling.rookTo, castling.rookFrom);
  } else if (flags & MF_EN_PASSANT) {
    ShiftPiece<RULES_ONLY>(mover | PAWN, to, from);
    DropPiece<RULES_ONLY>((mover ^ BLACK) | PAWN, Behind(to, mover));
  } else {
    LiftPiece<RULES_ONLY>(pos.board[to], to);
    if (captured != EMPTY) DropPiece<RULES_ONLY>(captured, to);
    DropPiece<RULES_ONLY>(mover | PAWN, from);
  }
}

// Returns true when the sets agree with the board on every square the move changes.
[[maybe_unused]] bool SetsMatchBoard(Move move) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  bool match = SetsMatchBoardOn(from) && SetsMatchBoardOn(to);
  // The pawn an en-passant capture takes stood beside the capturing one.
  if (flags & MF_EN_PASSANT) match &= SetsMatchBoardOn(SquareAt(FileOf(to), RankOf(from)));
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    match &= SetsMatchBoardOn(castling.rookFrom) && SetsMatchBoardOn(castling.rookTo);
  }
  return match;
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
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move), mover = pos.side;
  int captured = pos.board[to];
  undo.captured = captured;
  undo.epSquare = pos.epSquare;
  undo.castleRights = pos.castleRights;
  if (SCOPE == FOR_SEARCH) {
    undo.halfmoveClock = pos.halfmoveClock;
    undo.historyLength = pos.historyLength;
    undo.material = pos.material;
    undo.key = pos.key;
  }
  if (flags & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION)) {
    MoveSpecialPieces<SCOPE>(move, mover, captured);
  } else {  // a quiet move or a capture: one piece moves, and one may be taken
    if (captured != EMPTY) LiftPiece<SCOPE>(captured, to);
    ShiftPiece<SCOPE>(pos.board[from], from, to);
  }
  // Most moves keep every right, and all moves once the rights are gone.
  if (pos.castleRights) {
    pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
    if (SCOPE == FOR_SEARCH && pos.castleRights != undo.castleRights)
      pos.key ^= ZOBRIST.castle[undo.castleRights] ^ ZOBRIST.castle[pos.castleRights];
  }
  pos.epSquare = flags & MF_DOUBLE_PUSH ? Behind(to, mover) : NO_SQUARE;
  pos.side = mover ^ BLACK;
  assert(!InCheck(mover) && SetsMatchBoard(move));
  if (SCOPE == RULES_ONLY) return;

  pos.key ^= ZOBRIST.black;
  if (undo.epSquare != NO_SQUARE) pos.key ^= ZOBRIST.ep[undo.epSquare];
  if (pos.epSquare != NO_SQUARE) pos.key ^= ZOBRIST.ep[pos.epSquare];
  pos.halfmoveClock = flags & (MF_CAPTURE | MF_PAWN) ? 0 : pos.halfmoveClock + 1;
  pos.fullmoveNumber += mover == BLACK;
  pos.historyLength += pos.historyLength < MAX_HISTORY;
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
  if (undo.historyLength < MAX_HISTORY) pos.history[undo.historyLength] = pos.hash;
  pos.keyRing[pos.plyCount % KEY_RING] = pos.key;
  ++pos.plyCount;
  return true;
}

template <MakeScope SCOPE>
void UndoMove(Move move, const Undo& undo) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = pos.side ^= BLACK;
  if (flags & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION)) {
    UnmoveSpecialPieces(move, mover, undo.captured);
  } else {
    ShiftPiece<RULES_ONLY>(pos.board[to], to, from);
    if (undo.captured != EMPTY) DropPiece<RULES_ONLY>(undo.captured, to);
  }
  pos.epSquare = undo.epSquare;
  pos.castleRights = undo.castleRights;
  if (SCOPE == FOR_SEARCH) {
    pos.halfmoveClock = undo.halfmoveClock;
    pos.historyLength = undo.historyLength;
    pos.key = undo.key;
    if (flags & (MF_CAPTURE | MF_PROMOTION)) pos.material = undo.material;
    pos.fullmoveNumber -= mover == BLACK;
    assert(pos.key == ComputeKey());
  }
  assert(SetsMatchBoard(move));
}
template void UndoMove<FOR_SEARCH>(Move move, const Undo& undo);
template void UndoMove<RULES_ONLY>(Move move, const Undo& undo);
