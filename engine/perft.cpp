// Perft, with the last ply counted in bulk: a node one ply from the end returns the number of its
// legal moves without making any of them.
//
// Why the bulk count is exact. A move is legal when MakeMove accepts it: it captures no king and
// leaves the mover's king unattacked, judged after the move. The king stands on an occupied
// square, where the rules' attack is the ordinary one (pawns capture diagonally, pieces step or
// slide onto it), with one quirk: the king's destination of an enemy castling move still allowed
// by the rights counts as attacked. So, as in standard chess, a king move is legal when nothing
// attacks its destination with the king lifted off the board, and any other move when the piece
// is not pinned (or stays on its pin line) and, in check, captures the one checker or blocks its
// line. The quirk adds: a king may not step onto such a destination; and a king that stands on
// one (only a set-up position can have that) is counted by making the moves. Castling and en
// passant, rare and full of exceptions, are made and taken back.
#include "engine/perft.h"

#include <cassert>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/bitboards.h"
#include "engine/makemove.h"
#include "engine/movegen.h"

namespace {

// Perft's piece sets by piece code (colour | type), kept in step with pos.board by the tree's
// make and undo, so that the counter finds every piece of a kind with one mask. (The position
// itself keeps only the occupancy and pawn sets.)
std::uint64_t pieceBits[16];

constexpr std::uint64_t Bit(int square) { return 1ull << SquareBit(square); }

// Fills pieceBits from the board.
void SetUpPieceBits() {
  for (std::uint64_t& bits : pieceBits) bits = 0;
  for (int bit = 0; bit < 64; ++bit) pieceBits[pos.board[BitSquare(bit)]] |= 1ull << bit;
}

// Returns true when pieceBits matches the board (for assertions).
[[maybe_unused]] bool PieceBitsMatchBoard() {
  for (int code = PAWN; code <= (BLACK | KING); ++code) {
    std::uint64_t bits = 0;
    for (int bit = 0; bit < 64; ++bit)
      if (pos.board[BitSquare(bit)] == code) bits |= 1ull << bit;
    if (TypeOf(code) != EMPTY && TypeOf(code) != OFFBOARD && bits != pieceBits[code]) return false;
  }
  return true;
}

// Moves the pieces of a move that MakeMove has made in pieceBits, or, called again after
// UndoMove, moves them back: every change is a toggle, so the same call undoes it.
void TogglePieceBits(Move move, const Undo& undo) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int mover = ColourOf(undo.piece);
  int moved = flags & MF_PROMOTION ? mover | (MovePromotion(move) & TYPE_MASK) : undo.piece;
  pieceBits[undo.piece] ^= Bit(from);
  pieceBits[moved] ^= Bit(to);
  pieceBits[undo.captured] ^= Bit(to);  // pieceBits[EMPTY] collects what no one reads
  if (flags & MF_EN_PASSANT)
    pieceBits[undo.epVictim] ^= Bit(mover == WHITE ? to + SOUTH : to + NORTH);
  if (flags & MF_CASTLE) {
    bool kingSide = to == G1 || to == G8;
    int rookFrom = kingSide ? to + EAST : to + 2 * WEST, rookTo = kingSide ? to + WEST : to + EAST;
    pieceBits[mover | ROOK] ^= Bit(rookFrom) | Bit(rookTo);
  }
}

// Returns true when the move, made in full, is legal; the position is left as it was.
bool IsLegalByMaking(Move move) {
  Undo undo;
  if (!MakeMove(move, undo)) return false;
  UndoMove(move, undo);
  return true;
}

// The castling moves of each colour, king-side first, with the cells between king and rook.
struct Castling {
  int right;
  Move move;
  std::uint64_t between;
};
constexpr Castling CASTLINGS[2][2] = {
    {{WHITE_KING_SIDE, EncodeMove(E1, G1, 0, MF_CASTLE), Bit(F1) | Bit(G1)},
     {WHITE_QUEEN_SIDE, EncodeMove(E1, C1, 0, MF_CASTLE), Bit(B1) | Bit(C1) | Bit(D1)}},
    {{BLACK_KING_SIDE, EncodeMove(E8, G8, 0, MF_CASTLE), Bit(F8) | Bit(G8)},
     {BLACK_QUEEN_SIDE, EncodeMove(E8, C8, 0, MF_CASTLE), Bit(B8) | Bit(C8) | Bit(D8)}},
};

// Returns whether a castling move allowed by the rights, with the cells between king and rook
// empty, is legal. Castling has its own rule (see MakeMove) and is rare: it is made and taken back.
bool IsCastlingLegal(Move move) { return IsLegalByMaking(move); }

// Returns the squares that `colour`'s castling rights alone make count as attacked: the king's
// destination of each castling move they allow.
std::uint64_t ClaimedByCastling(int colour) {
  std::uint64_t claimed = 0;
  for (const Castling& c : CASTLINGS[KingIndex(colour)])
    if (pos.castleRights & c.right) claimed |= Bit(MoveTo(c.move));
  return claimed;
}

// Returns the number of legal castling moves of the side to move, which is not in check.
int CountCastling(std::uint64_t occupied) {
  int count = 0;
  for (const Castling& c : CASTLINGS[KingIndex(pos.side)])
    if (pos.castleRights & c.right && !(occupied & c.between) && IsCastlingLegal(c.move)) ++count;
  return count;
}

// Returns the number of legal en-passant captures of the side to move. They are made and taken
// back: taking two pawns off one rank can uncover an attack along it that no pin test sees.
int CountEnPassant() {
  int ep = pos.epSquare;
  if (ep == NO_SQUARE) return 0;
  int behind = pos.side == WHITE ? SOUTH : NORTH, count = 0;
  for (int from : {ep + behind + WEST, ep + behind + EAST})
    if (pos.board[from] == (pos.side | PAWN))
      count += IsLegalByMaking(EncodeMove(from, ep, 0, MF_PAWN | MF_CAPTURE | MF_EN_PASSANT));
  return count;
}

// Returns the number of legal moves of the side to move by generating and making them all.
std::uint64_t CountByMaking() {
  MoveList list;
  GenerateMoves(list);
  std::uint64_t count = 0;
  for (int i = 0; i < list.count; ++i) count += IsLegalByMaking(list.moves[i]);
  return count;
}

// The pieces of the side not to move, as sets.
struct Army {
  std::uint64_t pawns, knights, diagonal, straight, king;  // diagonal: bishops and queens
};

// Returns true when a piece of army attacks the occupied square `bit` (a pawn of the colour with
// index `own` standing there would capture onto the squares its attackers' pawns stand on).
template <int OWN>
bool IsBitAttacked(int bit, std::uint64_t occupied, const Army& army) {
  if ((BIT_MASKS.pawnCapture[OWN][bit] & army.pawns) || (BIT_MASKS.knight[bit] & army.knights) ||
      (BIT_MASKS.king[bit] & army.king))
    return true;
  return ((BIT_MASKS.diagonal[bit] & army.diagonal) &&
          (SlideDiagonally(bit, occupied) & army.diagonal)) ||
         ((BIT_MASKS.straight[bit] & army.straight) &&
          (SlideStraight(bit, occupied) & army.straight));
}

// Returns set moved `rows` rows forward as `colour` sees it.
template <int COLOUR>
constexpr std::uint64_t Forward(std::uint64_t set, int rows) {
  return COLOUR == WHITE ? set >> rows * ROW_BITS : set << rows * ROW_BITS;
}

// Returns the number of moves of `pawns` of COLOUR that land on `allowed` (quiet steps onto
// empty squares, captures onto `victims`), a move onto the last rank counting once per promotion
// piece. En passant is not among them.
template <int COLOUR>
int CountPawnMoves(std::uint64_t pawns, std::uint64_t empty, std::uint64_t victims,
                   std::uint64_t allowed) {
  constexpr std::uint64_t LAST_RANK = COLOUR == WHITE ? RANK_8_BITS : RANK_1_BITS;
  // A double step passes the square of a single step from the start rank: the third rank.
  constexpr std::uint64_t THIRD_RANK =
      COLOUR == WHITE ? RANK_1_BITS >> 2 * ROW_BITS : RANK_8_BITS << 2 * ROW_BITS;
  std::uint64_t step = Forward<COLOUR>(pawns, 1) & empty;
  std::uint64_t doubleStep = Forward<COLOUR>(step & THIRD_RANK, 1) & empty & allowed;
  step &= allowed;
  // A capture toward file a is a step forward and one bit down; toward file h one bit up.
  std::uint64_t towardA = (Forward<COLOUR>(pawns & ~FILE_A_BITS, 1) >> 1) & victims & allowed;
  std::uint64_t towardH = (Forward<COLOUR>(pawns & ~FILE_H_BITS, 1) << 1) & victims & allowed;
  int count = CountBits(step) + CountBits(doubleStep) + CountBits(towardA) + CountBits(towardH);
  if ((step | towardA | towardH) & LAST_RANK)
    count += 3 * (CountBits(step & LAST_RANK) + CountBits(towardA & LAST_RANK) +
                  CountBits(towardH & LAST_RANK));
  return count;
}

// Returns the square (bit) of the piece nearest `from` along line i in set, which is not empty.
inline int NearestOnLine(int i, std::uint64_t set) {
  return i < 4 ? 63 - std::countl_zero(set) : std::countr_zero(set);
}

// A piece pinned to its king: it may move only along `line`, the squares from the king to the
// pinning piece, that one included.
struct Pin {
  int bit;
  std::uint64_t line;
};

// Returns the number of legal moves of COLOUR, the side to move, in bulk (see the top).
template <int COLOUR>
std::uint64_t CountLegalMovesOf() {
  constexpr int ENEMY = COLOUR ^ BLACK, OWN = KingIndex(COLOUR);
  const std::uint64_t own = pos.occupied[OWN], enemy = pos.occupied[KingIndex(ENEMY)];
  const std::uint64_t occupied = own | enemy;
  const int king = SquareBit(pos.kingSquare[OWN]);
  const Army army = {pos.pawns[KingIndex(ENEMY)], pieceBits[ENEMY | KNIGHT],
                     pieceBits[ENEMY | BISHOP] | pieceBits[ENEMY | QUEEN],
                     pieceBits[ENEMY | ROOK] | pieceBits[ENEMY | QUEEN], pieceBits[ENEMY | KING]};
  // The enemy king is never attacked (MakeMove and the FEN reader see to it), so no move counted
  // below captures it, as none may.
  assert(!IsAttacked(pos.kingSquare[KingIndex(ENEMY)], COLOUR));
  const std::uint64_t claimed = ClaimedByCastling(ENEMY);
  if (claimed & 1ull << king) return CountByMaking();

  // The checkers, and along each line from the king the first piece and the one beyond it: an
  // enemy slider first gives check; an own piece first, an enemy slider next, pins the own one.
  std::uint64_t checkers =
      (BIT_MASKS.pawnCapture[OWN][king] & army.pawns) | (BIT_MASKS.knight[king] & army.knights);
  std::uint64_t checkLine = 0;  // the squares between the king and a checking slider
  std::uint64_t pinned = 0;
  Pin pins[8];
  int pinCount = 0;
  for (int i = 0; i < 8; ++i) {
    std::uint64_t ray = BIT_MASKS.ray[king][i];
    std::uint64_t snipers = ray & (SLIDES_DIAGONALLY[i] ? army.diagonal : army.straight);
    if (!snipers) continue;
    std::uint64_t blockers = ray & occupied;
    int first = NearestOnLine(i, blockers);
    if (snipers & 1ull << first) {
      checkers |= 1ull << first;
      checkLine |= ray ^ BIT_MASKS.ray[first][i];
      continue;
    }
    std::uint64_t beyond = blockers ^ 1ull << first;
    if (!(own & 1ull << first) || !(beyond & snipers)) continue;
    int second = NearestOnLine(i, beyond);
    if (!(snipers & 1ull << second)) continue;
    pinned |= 1ull << first;
    pins[pinCount++] = {first, ray ^ BIT_MASKS.ray[second][i]};
  }

  // King moves: onto squares nothing attacks once the king has left its own (a slider's line
  // through it would otherwise seem blocked by the king itself).
  std::uint64_t count = 0;
  const std::uint64_t withoutKing = occupied ^ 1ull << king;
  for (std::uint64_t to = BIT_MASKS.king[king] & ~own & ~claimed; to; to &= to - 1)
    count += !IsBitAttacked<OWN>(LowestBit(to), withoutKing, army);
  if (checkers & (checkers - 1)) return count + CountEnPassant();  // double check: king moves

  // Every other move lands on a square not holding an own piece; in check, on the checker or a
  // square between it and the king. A pinned piece cannot move in check: its line and the
  // checker's share only the king's square.
  std::uint64_t targets = ~own;
  if (checkers) targets &= checkers | checkLine;
  const std::uint64_t free = ~pinned;
  count += CountPawnMoves<COLOUR>(pos.pawns[OWN] & free, ~occupied, enemy, targets);
  for (std::uint64_t set = pieceBits[COLOUR | KNIGHT] & free; set; set &= set - 1)
    count += CountBits(BIT_MASKS.knight[LowestBit(set)] & targets);
  for (std::uint64_t set = (pieceBits[COLOUR | BISHOP] | pieceBits[COLOUR | QUEEN]) & free; set;
       set &= set - 1)
    count += CountBits(SlideDiagonally(LowestBit(set), occupied) & targets);
  for (std::uint64_t set = (pieceBits[COLOUR | ROOK] | pieceBits[COLOUR | QUEEN]) & free; set;
       set &= set - 1)
    count += CountBits(SlideStraight(LowestBit(set), occupied) & targets);
  if (!checkers) {
    for (int p = 0; p < pinCount; ++p) {
      int bit = pins[p].bit;
      std::uint64_t allowed = targets & pins[p].line, reach = 0;
      int type = TypeOf(pos.board[BitSquare(bit)]);
      if (type == PAWN) count += CountPawnMoves<COLOUR>(1ull << bit, ~occupied, enemy, allowed);
      if (type == BISHOP || type == QUEEN) reach |= SlideDiagonally(bit, occupied);
      if (type == ROOK || type == QUEEN) reach |= SlideStraight(bit, occupied);
      count += CountBits(reach & allowed);
    }
    if (pos.castleRights) count += CountCastling(occupied);
  }
  return count + CountEnPassant();
}

// Returns the number of legal moves of the side to move.
std::uint64_t CountLegalMoves() {
  assert(PieceBitsMatchBoard());
  return pos.side == WHITE ? CountLegalMovesOf<WHITE>() : CountLegalMovesOf<BLACK>();
}

// Perft of depth >= 1 with pieceBits set up.
std::uint64_t PerftFrom(int depth) {
  if (depth == 1) return CountLegalMoves();
  MoveList list;
  GenerateMoves(list);
  bool inCheck = InCheck(pos.side);
  std::uint64_t nodes = 0;
  for (int i = 0; i < list.count; ++i) {
    Move move = list.moves[i];
    Undo undo;
    if (!MakeMove(move, undo, inCheck)) continue;
    TogglePieceBits(move, undo);
    nodes += PerftFrom(depth - 1);
    UndoMove(move, undo);
    TogglePieceBits(move, undo);
  }
  return nodes;
}

}  // namespace

std::uint64_t Perft(int depth) {
  if (depth <= 0) return 1;
  SetUpPieceBits();
  return PerftFrom(depth);
}
