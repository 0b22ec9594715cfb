// The rules as they are defined, the slow and obvious way.
#include "engine/reference/plain_rules.h"

#include "engine/castling.h"
#include "engine/makemove.h"
#include "engine/movegen.h"

bool IsAttackedByGenerator(int square, int by) {
  int savedSide = pos.side;
  pos.side = by;
  MoveList list;
  GenerateMoves(list);
  pos.side = savedSide;
  // Standard chess counts no castling move as an attack.
  for (int i = 0; i < list.count; ++i)
    if (MoveTo(list.moves[i]) == square && !(standardRules && MoveFlags(list.moves[i]) & MF_CASTLE))
      return true;
  return false;
}

bool InCheckByGenerator(int colour) {
  for (int i = FIRST_CELL; i <= LAST_CELL; ++i)
    if (pos.board[i] == (colour | KING)) return IsAttackedByGenerator(i, colour ^ BLACK);
  return false;
}

namespace {

// Returns whether the rules allow the castling, short of its king's safety on arrival, which is
// judged like any move's: the king is not in check, the cells between king and rook are empty,
// and the squares it crosses and lands on are safe.
bool CastlingAllowed(const Castling& castling) {
  for (int i = 0; i < castling.emptyCount; ++i)
    if (pos.board[castling.empty[i]] != EMPTY) return false;
  return !IsAttackedByGenerator(castling.kingFrom, castling.colour ^ BLACK) &&
         CastlingSquaresSafe(castling, IsAttackedByGenerator);
}

}  // namespace

bool MakeMoveByDefinition(Move move) {
  int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = pos.side;
  if (ColourOf(b[from]) != mover || TypeOf(b[to]) == KING) return false;
  const Castling* castling = flags & MF_CASTLE ? FindCastling(to) : nullptr;
  if (flags & MF_CASTLE && (castling == nullptr || !CastlingAllowed(*castling))) return false;

  std::int32_t board[BOARD_SIZE];
  for (int i = 0; i < BOARD_SIZE; ++i) board[i] = b[i];
  int castleRights = pos.castleRights, epSquare = pos.epSquare;
  if (castling) {
    b[castling->rookTo] = b[castling->rookFrom];
    b[castling->rookFrom] = EMPTY;
  }
  pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
  pos.epSquare = flags & MF_DOUBLE_PUSH ? Behind(to, mover) : NO_SQUARE;
  b[to] = flags & MF_PROMOTION ? (MovePromotion(move) & TYPE_MASK) | mover : b[from];
  b[from] = EMPTY;
  if (flags & MF_EN_PASSANT) b[Behind(to, mover)] = EMPTY;
  ComputeBoardState();
  if (InCheckByGenerator(mover)) {
    for (int i = 0; i < BOARD_SIZE; ++i) b[i] = board[i];
    pos.castleRights = castleRights;
    pos.epSquare = epSquare;
    ComputeBoardState();
    return false;
  }

  pos.halfmoveClock = flags & (MF_CAPTURE | MF_PAWN) ? 0 : pos.halfmoveClock + 1;
  if (mover == BLACK) ++pos.fullmoveNumber;
  pos.side ^= BLACK;
  ComputeHash();
  if (pos.historyLength < MAX_HISTORY) pos.history[pos.historyLength++] = pos.hash;
  pos.key = ComputeKey();
  pos.keyRing[pos.plyCount % KEY_RING] = pos.key;
  ++pos.plyCount;
  return true;
}

int EvaluateByScan() {
  int sum = 0;
  for (int i = 0; i < BOARD_SIZE; ++i) sum += SignedValue(pos.board[i]);  // empty, border: 0
  return pos.side == WHITE ? sum : -sum;
}
