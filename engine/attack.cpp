// Attack and check tests.
#include "engine/attack.h"

#include "engine/movegen.h"

bool IsAttackedByGenerator(int square, int by) {
  int savedSide = pos.side;
  pos.side = by;
  MoveList list;
  GenerateMoves(list);
  pos.side = savedSide;
  for (int i = 0; i < list.count; ++i)
    if (MoveTo(list.moves[i]) == square) return true;
  return false;
}

bool InCheckByGenerator(int colour) {
  for (int i = 20; i <= 99; ++i)
    if (pos.board[i] == (colour | KING)) return IsAttackedByGenerator(i, colour ^ BLACK);
  return false;
}

namespace {

// The king's destination of each castling move, by the right that allows it.
struct CastleTarget {
  int right;
  int square;
};
constexpr CastleTarget CASTLE_TARGETS[2][2] = {
    {{WHITE_KING_SIDE, G1}, {WHITE_QUEEN_SIDE, C1}},
    {{BLACK_KING_SIDE, G8}, {BLACK_QUEEN_SIDE, C8}},
};

// True when a piece of `by` (not a pawn) reaches square by a step or an unobstructed slide.
bool ReachedByPiece(int square, int by) {
  const int* b = pos.board;
  for (int d : DIRECTIONS[KNIGHT])
    if (d != 0 && b[square + d] == (by | KNIGHT)) return true;
  for (int d : DIRECTIONS[KING])
    if (d != 0 && b[square + d] == (by | KING)) return true;
  // Looking outward from the square, the first piece on each line is the only one that can
  // reach it: a bishop or queen on a diagonal, a rook or queen on a rank or file.
  for (int d : DIRECTIONS[QUEEN]) {
    if (d == 0) break;
    int s = square + d;
    while (b[s] == EMPTY) s += d;
    int code = b[s];
    if (code == OFFBOARD || ColourOf(code) != by) continue;
    bool diagonal =
        d == NORTH + WEST || d == NORTH + EAST || d == SOUTH + WEST || d == SOUTH + EAST;
    int type = TypeOf(code);
    if (type == QUEEN || type == (diagonal ? BISHOP : ROOK)) return true;
  }
  return false;
}

}  // namespace

bool IsAttacked(int square, int by) {
  const int* b = pos.board;
  for (const CastleTarget& t : CASTLE_TARGETS[KingIndex(by)])
    if (pos.castleRights & t.right && square == t.square) return true;

  int pawn = by | PAWN;
  int back = by == WHITE ? SOUTH : NORTH;  // from the square toward the pawns that reach it
  if (square == pos.epSquare &&
      (b[square + back + WEST] == pawn || b[square + back + EAST] == pawn))
    return true;

  int code = b[square];
  if (code == OFFBOARD) return false;
  if (code == EMPTY) {
    // Pawns move straight onto empty squares only: a step, or a double step from the start rank.
    if (b[square + back] == pawn) return true;
    int start = square + 2 * back;
    bool onStartRank = by == WHITE ? start >= A2 - 1 : start <= H7 + 2;
    if (onStartRank && b[square + back] == EMPTY && b[start] == pawn) return true;
  } else {
    // Nothing but castling and en passant lands on a piece of one's own.
    if (ColourOf(code) == by) return false;
    // Pawns capture diagonally onto pieces only.
    if (b[square + back + WEST] == pawn || b[square + back + EAST] == pawn) return true;
  }
  return ReachedByPiece(square, by);
}

bool InCheck(int colour) {
  int king = pos.kingSquare[KingIndex(colour)];
  return king != NO_SQUARE && IsAttacked(king, colour ^ BLACK);
}
