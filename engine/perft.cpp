// Perft over the legal move generator, with the last ply counted in bulk: a node one ply from the
// end returns the number of its legal moves without making any of them (see legal_movegen.h for
// why the count is exact).
#include "engine/perft.h"

#include "engine/legal_movegen.h"

namespace {

// The sink that counts the moves the generator would list; a move onto the last rank is four,
// one per promotion piece.
struct MoveCounter {
  std::uint64_t count = 0;

  void AddMove(Move) { ++count; }
  void AddPieceMoves(int, std::uint64_t targets) { count += CountBits(targets); }
  // A step, a double step and a capture never land on one square (a step's is empty, a
  // capture's is not, and a double step's has no pawn right behind it), so one count serves the
  // three; the captures toward file h may share squares with those toward file a.
  template <int COLOUR>
  void AddPawnMoves(const legal::PawnMoves& moves) {
    std::uint64_t apart = moves.step | moves.doubleStep | moves.towardA;
    count += CountBits(apart) + CountBits(moves.towardH);
    constexpr std::uint64_t LAST_RANK = RankBits(RankOf(COLOUR == WHITE ? A8 : A1));
    if ((apart | moves.towardH) & LAST_RANK)
      count += 3 * (CountBits(apart & LAST_RANK) + CountBits(moves.towardH & LAST_RANK));
  }
};

// Returns the number of legal moves of the side to move.
std::uint64_t CountLegalMoves() {
  MoveCounter counter;
  if (pos.side == WHITE)
    legal::VisitLegalMoves<WHITE>(counter);
  else
    legal::VisitLegalMoves<BLACK>(counter);
  return counter.count;
}

// What UndoPerftMove needs.
struct PerftUndo {
  std::int32_t captured, castleRights, epSquare;
  std::uint64_t occupied[2], pawns[2];
};

// Makes a legal move as MakeMove would, keeping only what the rules read (board, side, castling
// rights, en-passant square, the occupancy, pawn and king fields) and pieceBits. The hash, key,
// clock, material and history stay as they were: no count depends on them, and MakeMove, which
// would need them whole, is not called below the root (see VisitLegalMoves).
void MakePerftMove(Move move, PerftUndo& undo) {
  int* b = pos.board;
  const int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  const int mover = pos.side, own = ColourIndex(mover), enemy = ColourIndex(mover ^ BLACK);
  const int piece = b[from], captured = b[to];
  const int moved = flags & MF_PROMOTION ? mover | (MovePromotion(move) & TYPE_MASK) : piece;
  undo = {captured,
          pos.castleRights,
          pos.epSquare,
          {pos.occupied[0], pos.occupied[1]},
          {pos.pawns[0], pos.pawns[1]}};
  const std::uint64_t fromBit = SquareMask(from), toBit = SquareMask(to);

  b[from] = EMPTY;
  b[to] = moved;
  pieceBits[piece] ^= fromBit;
  pieceBits[moved] ^= toBit;
  pieceBits[captured] ^= toBit;
  pos.occupied[own] ^= fromBit | toBit;
  pos.occupied[enemy] &= ~toBit;
  pos.pawns[enemy] &= ~toBit;
  if (TypeOf(piece) == PAWN) pos.pawns[own] ^= fromBit | (moved == piece ? toBit : 0);
  if (TypeOf(piece) == KING) pos.kingSquare[own] = to;
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    int rook = b[castling.rookFrom];
    b[castling.rookFrom] = EMPTY;
    b[castling.rookTo] = rook;
    std::uint64_t rookBits = SquareMask(castling.rookFrom) | SquareMask(castling.rookTo);
    pieceBits[rook] ^= rookBits;
    pos.occupied[own] ^= rookBits;
  }
  if (flags & MF_EN_PASSANT) {
    int victimSquare = Behind(to, mover), victim = b[victimSquare];
    b[victimSquare] = EMPTY;
    std::uint64_t victimBit = SquareMask(victimSquare);
    pieceBits[victim] ^= victimBit;
    pos.occupied[enemy] ^= victimBit;
    pos.pawns[enemy] ^= victimBit;
  }
  pos.castleRights &= CASTLE_MASK[from] & CASTLE_MASK[to];
  pos.epSquare = flags & MF_DOUBLE_PUSH ? Behind(to, mover) : NO_SQUARE;
  pos.side = mover ^ BLACK;
}

// Takes back a move that MakePerftMove made, given the record it filled.
void UndoPerftMove(Move move, const PerftUndo& undo) {
  int* b = pos.board;
  const int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  const int mover = pos.side ^ BLACK, moved = b[to];
  const int piece = flags & MF_PROMOTION ? mover | PAWN : moved;
  const std::uint64_t fromBit = SquareMask(from), toBit = SquareMask(to);
  pos.side = mover;
  b[from] = piece;
  b[to] = undo.captured;
  pieceBits[piece] ^= fromBit;
  pieceBits[moved] ^= toBit;
  pieceBits[undo.captured] ^= toBit;
  if (TypeOf(piece) == KING) pos.kingSquare[ColourIndex(mover)] = from;
  if (flags & MF_CASTLE) {
    const Castling& castling = *FindCastling(to);
    int rook = b[castling.rookTo];
    b[castling.rookTo] = EMPTY;
    b[castling.rookFrom] = rook;
    pieceBits[rook] ^= SquareMask(castling.rookFrom) | SquareMask(castling.rookTo);
  }
  if (flags & MF_EN_PASSANT) {
    int victimSquare = Behind(to, mover), victim = (mover ^ BLACK) | PAWN;
    b[victimSquare] = victim;
    pieceBits[victim] ^= SquareMask(victimSquare);
  }
  pos.castleRights = undo.castleRights;
  pos.epSquare = undo.epSquare;
  for (int side = 0; side < 2; ++side) {
    pos.occupied[side] = undo.occupied[side];
    pos.pawns[side] = undo.pawns[side];
  }
}

// Perft of depth >= 1 with pieceBits set up.
std::uint64_t PerftFrom(int depth) {
  if (depth == 1) return CountLegalMoves();
  MoveList list;
  GenerateLegalMoves(list);
  std::uint64_t nodes = 0;
  for (int i = 0; i < list.count; ++i) {
    PerftUndo undo;
    MakePerftMove(list.moves[i], undo);
    nodes += PerftFrom(depth - 1);
    UndoPerftMove(list.moves[i], undo);
  }
  return nodes;
}

}  // namespace

std::uint64_t Perft(int depth) {
  if (depth <= 0) return 1;
  SetUpPieceBits();
  return PerftFrom(depth);
}
