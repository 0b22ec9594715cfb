// Making a move with full legality, and taking it back.
#include "engine/makemove.h"

#include <cassert>

#include "engine/attack.h"
#include "engine/evaluate.h"
#include "engine/zobrist.h"

namespace {

// A castling move, by the king's destination: the cells that must be empty, the squares the
// opponent must not attack (tested in this order), and the rook's move.
struct CastleRule {
  int kingTo;
  int empty[3];  // ends at the first 0
  int safe[2];
  int rookFrom, rookTo;
};
constexpr CastleRule CASTLE_RULES[4] = {
    {G1, {F1, G1, 0}, {F1, G1}, H1, F1},
    {C1, {B1, C1, D1}, {C1, D1}, A1, D1},
    {G8, {F8, G8, 0}, {F8, G8}, H8, F8},
    {C8, {B8, C8, D8}, {C8, D8}, A8, D8},
};

// Returns the castling rule whose king lands on `to`, or nullptr.
const CastleRule* FindCastleRule(int to) {
  for (const CastleRule& rule : CASTLE_RULES)
    if (rule.kingTo == to) return &rule;
  return nullptr;
}

// The square of the pawn an en-passant capture onto `to` removes: behind `to` as the mover sees it.
int EnPassantVictimSquare(int to, int mover) { return mover == WHITE ? to + SOUTH : to + NORTH; }

// Writes a code on a cell, keeping the occupancy and pawn bits in step.
void PutCell(int square, int code) {
  std::uint64_t bit = 1ull << SquareBit(square);
  int old = pos.board[square];
  if (old != EMPTY) pos.occupied[KingIndex(ColourOf(old))] &= ~bit;
  if (code != EMPTY) pos.occupied[KingIndex(ColourOf(code))] |= bit;
  if (TypeOf(old) == PAWN) pos.pawns[KingIndex(ColourOf(old))] &= ~bit;
  if (TypeOf(code) == PAWN) pos.pawns[KingIndex(ColourOf(code))] |= bit;
  pos.board[square] = code;
}

// Puts the board cells, occupancy bits and king square back as they were before the move of
// `mover`.
void RestoreCells(Move move, const Undo& undo, int mover) {
  int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  if (flags & MF_EN_PASSANT) b[EnPassantVictimSquare(to, mover)] = undo.epVictim;
  b[to] = undo.captured;
  b[from] = undo.piece;
  if (flags & MF_CASTLE) {
    const CastleRule* rule = FindCastleRule(to);
    b[rule->rookFrom] = b[rule->rookTo];
    b[rule->rookTo] = EMPTY;  // the rook's destination had to be empty
  }
  pos.occupied[0] = undo.occupied[0];
  pos.occupied[1] = undo.occupied[1];
  pos.pawns[0] = undo.pawns[0];
  pos.pawns[1] = undo.pawns[1];
  if (TypeOf(undo.piece) == KING) pos.kingSquare[KingIndex(mover)] = from;
}

// Accounts for one cell's change from old to code in the hash's board part and the key.
void Account(int square, int old, int code, std::uint32_t& boardHash) {
  boardHash ^= static_cast<std::uint32_t>(square * old) ^ static_cast<std::uint32_t>(square * code);
  pos.key ^= ZOBRIST.piece[old & 15][square] ^ ZOBRIST.piece[code & 15][square];
}

// The check tests MakeMove uses: the fast ones, or the generator-based definitions.
template <bool BY_DEFINITION>
bool KingAttacked(int colour) {
  return BY_DEFINITION ? InCheckByGenerator(colour) : InCheck(colour);
}
template <bool BY_DEFINITION>
bool SquareAttacked(int square, int by) {
  return BY_DEFINITION ? IsAttackedByGenerator(square, by) : IsAttacked(square, by);
}

// MakeMove, with the check tests chosen by BY_DEFINITION.
template <bool BY_DEFINITION>
bool MakeMoveWith(Move move, Undo& undo, bool moverInCheck) {
  int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = pos.side, opponent = mover ^ BLACK;
  if (ColourOf(b[from]) != mover) return false;
  if (TypeOf(b[to]) == KING) return false;

  const CastleRule* castle = nullptr;
  if (flags & MF_CASTLE) {
    castle = FindCastleRule(to);
    if (castle == nullptr) return false;
    for (int i = 0; i < 3 && castle->empty[i] != 0; ++i)
      if (b[castle->empty[i]] != EMPTY) return false;
    if (KingAttacked<BY_DEFINITION>(mover)) return false;
    for (int square : castle->safe)
      if (SquareAttacked<BY_DEFINITION>(square, opponent)) return false;
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
  int rook = EMPTY, victimSquare = 0;
  if (castle) {
    rook = b[castle->rookFrom];
    PutCell(castle->rookTo, rook);
    PutCell(castle->rookFrom, EMPTY);
  }
  PutCell(to, moved);
  PutCell(from, EMPTY);
  if (flags & MF_EN_PASSANT) {
    victimSquare = EnPassantVictimSquare(to, mover);
    undo.epVictim = b[victimSquare];
    PutCell(victimSquare, EMPTY);
  }
  if (TypeOf(moved) == KING) pos.kingSquare[KingIndex(mover)] = to;
  // The check test sees the new rights and en-passant square: a king standing on the enemy's
  // castling destination is attacked only while the enemy keeps that right.
  pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
  pos.epSquare = flags & MF_DOUBLE_PUSH ? EnPassantVictimSquare(to, mover) : NO_SQUARE;

  // A king that was safe stays safe after another piece's move unless the move opened a line
  // to it: captures only remove attackers and the arriving piece only blocks.
  bool exposed;
  if (BY_DEFINITION || moverInCheck || TypeOf(moved) == KING || flags & (MF_EN_PASSANT | MF_CASTLE))
    exposed = KingAttacked<BY_DEFINITION>(mover);
  else
    exposed = UncoversAttack(pos.kingSquare[KingIndex(mover)], from, opponent);
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
  std::uint32_t boardHash = pos.hash & 0x03FFFFFF;  // the board occupies the low eleven bits
  Account(from, undo.piece, EMPTY, boardHash);
  Account(to, undo.captured, moved, boardHash);
  if (castle) {
    Account(castle->rookFrom, rook, EMPTY, boardHash);
    Account(castle->rookTo, EMPTY, rook, boardHash);
  }
  if (flags & MF_EN_PASSANT) Account(victimSquare, undo.epVictim, EMPTY, boardHash);
  // Only a capture or a promotion changes the material.
  if (flags & (MF_CAPTURE | MF_PROMOTION))
    pos.material += SignedValue(moved) - SignedValue(undo.piece) - SignedValue(undo.captured) -
                    (flags & MF_EN_PASSANT ? SignedValue(undo.epVictim) : 0);

  pos.halfmoveClock = flags & (MF_CAPTURE | MF_PAWN) ? 0 : pos.halfmoveClock + 1;
  pos.side = opponent;
  pos.key ^= ZOBRIST.black ^ ZOBRIST.castle[undo.castleRights] ^ ZOBRIST.castle[pos.castleRights];
  if (undo.epSquare >= 0) pos.key ^= ZOBRIST.ep[undo.epSquare];
  if (pos.epSquare >= 0) pos.key ^= ZOBRIST.ep[pos.epSquare];
  pos.hash = static_cast<std::uint32_t>(pos.epSquare) << 30 |
             static_cast<std::uint32_t>(pos.castleRights) << 26 | boardHash;
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

}  // namespace

bool MakeMove(Move move, Undo& undo, bool moverInCheck) {
  return MakeMoveWith<false>(move, undo, moverInCheck);
}

bool MakeMove(Move move) {
  Undo undo;
  return MakeMoveWith<false>(move, undo, true);
}

bool MakeMoveByDefinition(Move move) {
  Undo undo;
  return MakeMoveWith<true>(move, undo, true);
}

void UndoMove(Move move, const Undo& undo) {
  pos.side ^= BLACK;
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
