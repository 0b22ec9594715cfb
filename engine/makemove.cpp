// Making a move with full legality, and taking it back.
#include "engine/makemove.h"

#include <cassert>

#include "engine/zobrist.h"

bool standardCastling = false;

bool CastlingAllowed(const Castling& castling, bool (*isAttacked)(int square, int by)) {
  int opponent = castling.colour ^ BLACK;
  assert(pos.board[castling.kingFrom] == (castling.colour | KING));
  for (int i = 0; i < castling.emptyCount; ++i)
    if (pos.board[castling.empty[i]] != EMPTY) return false;
  return !isAttacked(castling.kingFrom, opponent) && CastlingSquaresSafe(castling, isAttacked);
}

namespace {

// Writes a code on a cell, keeping the occupancy and pawn bits in step.
void PutCell(int square, int code) {
  std::uint64_t bit = SquareMask(square);
  int old = pos.board[square];
  if (old != EMPTY) pos.occupied[ColourIndex(ColourOf(old))] &= ~bit;
  if (code != EMPTY) pos.occupied[ColourIndex(ColourOf(code))] |= bit;
  if (TypeOf(old) == PAWN) pos.pawns[ColourIndex(ColourOf(old))] &= ~bit;
  if (TypeOf(code) == PAWN) pos.pawns[ColourIndex(ColourOf(code))] |= bit;
  pos.board[square] = code;
}

// Puts the board cells, occupancy bits and king square back as they were before the move of
// `mover`.
void RestoreCells(Move move, const Undo& undo, int mover) {
  int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  if (flags & MF_EN_PASSANT) b[Behind(to, mover)] = undo.epVictim;
  b[to] = undo.captured;
  b[from] = undo.piece;
  if (flags & MF_CASTLE) {
    const Castling* castling = FindCastling(to);
    b[castling->rookFrom] = b[castling->rookTo];
    b[castling->rookTo] = EMPTY;  // the rook's destination had to be empty
  }
  pos.occupied[0] = undo.occupied[0];
  pos.occupied[1] = undo.occupied[1];
  pos.pawns[0] = undo.pawns[0];
  pos.pawns[1] = undo.pawns[1];
  if (TypeOf(undo.piece) == KING) pos.kingSquare[ColourIndex(mover)] = from;
}

// Accounts for one cell's change from old to code in the hash's board part and the key.
void Account(int square, int old, int code, std::uint32_t& boardHash) {
  boardHash ^= static_cast<std::uint32_t>(square * old) ^ static_cast<std::uint32_t>(square * code);
  pos.key ^= ZOBRIST.piece[old][square] ^ ZOBRIST.piece[code][square];
}

}  // namespace

bool MakeMove(Move move, Undo& undo, bool moverInCheck) {
  int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = pos.side, opponent = mover ^ BLACK;
  if (ColourOf(b[from]) != mover) return false;
  if (TypeOf(b[to]) == KING) return false;
  const Castling* castling = nullptr;
  if (flags & MF_CASTLE) {
    castling = FindCastling(to);
    if (castling == nullptr || castling->colour != mover || !CastlingAllowed(*castling))
      return false;
  }

  undo.piece = b[from];
  undo.captured = b[to];
  undo.castleRights = pos.castleRights;
  undo.epSquare = pos.epSquare;
  undo.occupied[0] = pos.occupied[0];
  undo.occupied[1] = pos.occupied[1];
  undo.pawns[0] = pos.pawns[0];
  undo.pawns[1] = pos.pawns[1];

  // Move the pieces and test the mover's king; the bookkeeping follows only for a legal move.
  int moved = flags & MF_PROMOTION ? (MovePromotion(move) & TYPE_MASK) | mover : b[from];
  int rook = EMPTY, victimSquare = NO_SQUARE;
  if (castling) {
    rook = b[castling->rookFrom];
    PutCell(castling->rookTo, rook);
    PutCell(castling->rookFrom, EMPTY);
  }
  PutCell(to, moved);
  PutCell(from, EMPTY);
  if (flags & MF_EN_PASSANT) {
    victimSquare = Behind(to, mover);
    undo.epVictim = b[victimSquare];
    PutCell(victimSquare, EMPTY);
  }
  if (TypeOf(moved) == KING) pos.kingSquare[ColourIndex(mover)] = to;
  // The check test sees the new rights and en-passant square: a king standing on the enemy's
  // castling destination is attacked only while the enemy keeps that right.
  pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
  pos.epSquare = flags & MF_DOUBLE_PUSH ? Behind(to, mover) : NO_SQUARE;

  // A king that was safe stays safe after another piece's move unless the move opened a line
  // to it: captures only remove attackers and the arriving piece only blocks.
  bool exposed;
  if (moverInCheck || TypeOf(moved) == KING || flags & (MF_EN_PASSANT | MF_CASTLE))
    exposed = InCheck(mover);
  else
    exposed = UncoversAttack(pos.kingSquare[ColourIndex(mover)], from, opponent);
  if (exposed) {
    RestoreCells(move, undo, mover);
    pos.castleRights = undo.castleRights;
    pos.epSquare = undo.epSquare;
    return false;
  }

  undo.halfmoveClock = pos.halfmoveClock;
  undo.historyLength = pos.historyLength;
  undo.material = pos.material;
  undo.hash = pos.hash;
  undo.key = pos.key;
  std::uint32_t boardHash = pos.hash & HASH_BOARD_MASK;
  Account(from, undo.piece, EMPTY, boardHash);
  Account(to, undo.captured, moved, boardHash);
  if (castling) {
    Account(castling->rookFrom, rook, EMPTY, boardHash);
    Account(castling->rookTo, EMPTY, rook, boardHash);
  }
  if (flags & MF_EN_PASSANT) Account(victimSquare, undo.epVictim, EMPTY, boardHash);
  // Only a capture or a promotion changes the material.
  if (flags & (MF_CAPTURE | MF_PROMOTION))
    pos.material += SignedValue(moved) - SignedValue(undo.piece) - SignedValue(undo.captured) -
                    (flags & MF_EN_PASSANT ? SignedValue(undo.epVictim) : 0);

  pos.halfmoveClock = flags & (MF_CAPTURE | MF_PAWN) ? 0 : pos.halfmoveClock + 1;
  if (mover == BLACK) ++pos.fullmoveNumber;
  pos.side = opponent;
  pos.key ^= ZOBRIST.black ^ ZOBRIST.castle[undo.castleRights] ^ ZOBRIST.castle[pos.castleRights];
  if (undo.epSquare != NO_SQUARE) pos.key ^= ZOBRIST.ep[undo.epSquare];
  if (pos.epSquare != NO_SQUARE) pos.key ^= ZOBRIST.ep[pos.epSquare];
  pos.hash = static_cast<std::uint32_t>(pos.epSquare) << HASH_EP_SHIFT |
             static_cast<std::uint32_t>(pos.castleRights) << HASH_CASTLE_SHIFT | boardHash;
  if (pos.historyLength < MAX_HISTORY) pos.history[pos.historyLength++] = pos.hash;
  pos.keyRing[pos.plyCount % KEY_RING] = pos.key;
  ++pos.plyCount;

#ifndef NDEBUG
  std::uint32_t incremental = pos.hash;
  ComputeHash();
  assert(pos.hash == incremental && pos.key == ComputeKey());
#endif
  return true;
}

bool MakeMove(Move move) {
  Undo undo;
  return MakeMove(move, undo, true);
}

void UndoMove(Move move, const Undo& undo) {
  pos.side ^= BLACK;
  if (pos.side == BLACK) --pos.fullmoveNumber;
  RestoreCells(move, undo, pos.side);
  pos.castleRights = undo.castleRights;
  pos.epSquare = undo.epSquare;
  pos.halfmoveClock = undo.halfmoveClock;
  pos.historyLength = undo.historyLength;
  pos.material = undo.material;
  pos.hash = undo.hash;
  pos.key = undo.key;
  --pos.plyCount;
}
