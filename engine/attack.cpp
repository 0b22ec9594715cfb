// Attack and check tests.
#include "engine/attack.h"

#include <bit>
#include <cassert>
#include <initializer_list>

#include "engine/masks.h"
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

constexpr const std::int32_t (&KNIGHT_STEPS)[9] = DIRECTIONS[KNIGHT];
constexpr const std::int32_t (&LINES)[9] = DIRECTIONS[QUEEN];  // the eight ranks, files, diagonals

// Returns true when a piece of type `type` slides along direction d.
constexpr bool SlidesAlong(int type, int d) {
  bool diagonal = d == NORTH + WEST || d == NORTH + EAST || d == SOUTH + WEST || d == SOUTH + EAST;
  return type == QUEEN || type == (diagonal ? BISHOP : ROOK);
}

// LINE_STEP.step[a][b]: the one-square step that leads from a to b along a rank, file or
// diagonal, or 0 when the two squares share no line.
struct LineSteps {
  std::int8_t step[BOARD_SIZE][BOARD_SIZE] = {};
};
constexpr LineSteps MakeLineSteps() {
  LineSteps lines;
  for (int from = A8; from <= H1; ++from)
    for (int i = 0; i < 8; ++i)
      for (int to = from + LINES[i]; to >= A8 && to <= H1 && to % 10 != 0 && to % 10 != 9;
           to += LINES[i])
        lines.step[from][to] = static_cast<std::int8_t>(LINES[i]);
  return lines;
}
constexpr LineSteps LINE_STEP = MakeLineSteps();

// Returns the square of the first piece met going from square along direction d (a border
// cell at the edge).
int FirstSquareFrom(int square, int d) {
  int s = square + d;
  while (pos.board[s] == EMPTY) s += d;
  return s;
}
int FirstPieceFrom(int square, int d) { return pos.board[FirstSquareFrom(square, d)]; }

// Returns true when a piece of type `type` of colour `by` standing on `from` attacks `target`.
bool PieceAttacks(int type, int by, int from, int target) {
  int d = LINE_STEP.step[from][target];
  switch (type) {
    case PAWN: {
      int forward = by == WHITE ? NORTH : SOUTH;
      return target == from + forward + WEST || target == from + forward + EAST;
    }
    case KNIGHT:
      for (int i = 0; i < 8; ++i)
        if (target == from + KNIGHT_STEPS[i]) return true;
      return false;
    case KING:
      return d != 0 && target == from + d;
    default:
      return d != 0 && SlidesAlong(type, d) && FirstSquareFrom(from, d) == target;
  }
}

// True when a piece of `by` (not a pawn) reaches square by a step or an unobstructed slide.
bool ReachedByPiece(int square, int by) {
  const int* b = pos.board;
  // The masks skip whatever no piece of `by` could come from.
  std::uint64_t theirs = pos.occupied[KingIndex(by)];
  if (REACH.king[square] & theirs)
    for (int i = 0; i < 8; ++i)
      if (b[square + LINES[i]] == (by | KING)) return true;
  if (REACH.knight[square] & theirs)
    for (int i = 0; i < 8; ++i)
      if (b[square + KNIGHT_STEPS[i]] == (by | KNIGHT)) return true;
  // Looking outward from the square, the first piece on each line is the only one that can
  // reach it along that line.
  std::uint64_t everyone = theirs | pos.occupied[KingIndex(by ^ BLACK)];
  for (int i = 0; i < 8; ++i) {
    if (!(REACH.ray[square][i] & theirs)) continue;
    int s = FirstOnLine(square, i, everyone);
    if (s != NO_SQUARE && ColourOf(b[s]) == by && SlidesAlong(TypeOf(b[s]), LINES[i])) return true;
  }
  return false;
}

}  // namespace

bool UncoversAttack(int king, int vacated, int by) {
  int d = LINE_STEP.step[king][vacated];
  if (d == 0) return false;
  int code = FirstPieceFrom(king, d);
  return code != OFFBOARD && ColourOf(code) == by && SlidesAlong(TypeOf(code), d);
}

bool GivesCheck(Move move) {
  int flags = MoveFlags(move);
  if (flags & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION)) return InCheck(pos.side);
  int king = pos.kingSquare[KingIndex(pos.side)];
  if (king == NO_SQUARE) return false;
  // Before the move the side now to move was not in check, and no castling right or en-passant
  // square can put it there: only the moved piece, or a line it opened, can attack its king.
  int mover = pos.side ^ BLACK, to = MoveTo(move);
  bool check = PieceAttacks(TypeOf(pos.board[to]), mover, to, king) ||
               UncoversAttack(king, MoveFrom(move), mover);
  assert(check == InCheck(pos.side));
  return check;
}

bool HasUnpinnedMove(int colour) {
  const int* b = pos.board;
  int king = pos.kingSquare[KingIndex(colour)], enemy = colour ^ BLACK;
  int forward = colour == WHITE ? NORTH : SOUTH;
  // A target that a move can take: an empty square or an enemy piece other than the king.
  auto open = [&](int code) {
    return code == EMPTY || (code != OFFBOARD && ColourOf(code) == enemy && TypeOf(code) != KING);
  };
  for (std::uint64_t own = pos.occupied[KingIndex(colour)]; own != 0; own &= own - 1) {
    int from = BitSquare(std::countr_zero(own));
    int code = b[from];
    // The occupancy bits may be behind a board edited by ClassifyMove: trust the board.
    if (code == EMPTY || ColourOf(code) != colour || TypeOf(code) == KING) continue;
    // Whether the piece can move at all is cheaper to see than whether it is pinned.
    bool canMove = false;
    if (TypeOf(code) == PAWN) {
      int ahead = from + forward;
      canMove = b[ahead] == EMPTY || (b[ahead + WEST] != EMPTY && open(b[ahead + WEST])) ||
                (b[ahead + EAST] != EMPTY && open(b[ahead + EAST]));
    } else {
      for (const int* d = DIRECTIONS[TypeOf(code)]; *d != 0 && !canMove; ++d)
        canMove = open(b[from + *d]);
    }
    if (canMove && !UncoversAttack(king, from, enemy)) return true;
  }
  return false;
}

MoveKind ClassifyMove(Move move, bool askMobility) {
  int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move);
  int mover = pos.side, opponent = mover ^ BLACK, piece = b[from], target = b[to];
  int& ownKing = pos.kingSquare[KingIndex(mover)];
  int enemyKing = pos.kingSquare[KingIndex(opponent)], savedEp = pos.epSquare;
  bool kingMove = TypeOf(piece) == KING;
  // Look at the board with the piece moved, as MakeMove's tests would, then put it back. (After
  // the move no en-passant capture is possible; the castling rights it could clear are those of
  // a rook it captures at home, which do not touch the king's square.)
  std::uint64_t savedOccupied[2] = {pos.occupied[0], pos.occupied[1]};
  pos.occupied[KingIndex(mover)] ^= 1ull << SquareBit(from) | 1ull << SquareBit(to);
  pos.occupied[KingIndex(opponent)] &= ~(1ull << SquareBit(to));
  b[to] = piece;
  b[from] = EMPTY;
  if (kingMove) ownKing = to;
  pos.epSquare = NO_SQUARE;
  MoveKind kind = MOVE_QUIET;
  if (kingMove ? IsAttacked(to, opponent) : UncoversAttack(ownKing, from, opponent))
    kind = MOVE_ILLEGAL;
  else if (enemyKing != NO_SQUARE &&
           ((!kingMove && PieceAttacks(TypeOf(piece), mover, to, enemyKing)) ||
            UncoversAttack(enemyKing, from, mover)))
    kind = MOVE_CHECKING;
  else if (askMobility && HasUnpinnedMove(opponent))
    kind = MOVE_QUIET_OPPONENT_MOBILE;
  pos.epSquare = savedEp;
  pos.occupied[0] = savedOccupied[0];
  pos.occupied[1] = savedOccupied[1];
  if (kingMove) ownKing = from;
  b[from] = piece;
  b[to] = target;
  return kind;
}

void FindCheckers(Checkers& checkers) {
  const int* b = pos.board;
  int king = pos.kingSquare[KingIndex(pos.side)], by = pos.side ^ BLACK;
  checkers = {0, NO_SQUARE, 0, false};
  if (king == NO_SQUARE) return;
  for (const CastleTarget& t : CASTLE_TARGETS[KingIndex(by)])
    if (pos.castleRights & t.right && king == t.square) checkers.quirk = true;
  auto add = [&](int square, int step) {
    ++checkers.count;
    checkers.square = square;
    checkers.step = step;
  };
  int back = by == WHITE ? SOUTH : NORTH;  // from the king toward the pawns that attack it
  for (int s : {king + back + WEST, king + back + EAST})
    if (b[s] == (by | PAWN)) add(s, 0);
  for (int i = 0; i < 8; ++i) {
    if (b[king + KNIGHT_STEPS[i]] == (by | KNIGHT)) add(king + KNIGHT_STEPS[i], 0);
    if (b[king + LINES[i]] == (by | KING)) add(king + LINES[i], 0);
    int s = FirstSquareFrom(king, LINES[i]);
    if (b[s] != OFFBOARD && ColourOf(b[s]) == by && SlidesAlong(TypeOf(b[s]), LINES[i]))
      add(s, LINES[i]);
  }
}

bool MayEvade(const Checkers& checkers, Move move) {
  int from = MoveFrom(move), to = MoveTo(move);
  if (checkers.quirk || TypeOf(pos.board[from]) == KING || MoveFlags(move) & MF_EN_PASSANT)
    return true;
  if (checkers.count != 1) return checkers.count == 0;
  if (to == checkers.square) return true;
  // A block: the destination lies on the checking line, between the king and the checker.
  int king = pos.kingSquare[KingIndex(pos.side)];
  return checkers.step != 0 && LINE_STEP.step[king][to] == checkers.step &&
         LINE_STEP.step[to][checkers.square] == checkers.step;
}

void FindCheckSquares(CheckSquares& checks) {
  const int* b = pos.board;
  int mover = pos.side;
  checks = {pos.kingSquare[KingIndex(mover ^ BLACK)], 0, 0, 0, 0, 0};
  int king = checks.king;
  if (king == NO_SQUARE) return;
  auto bit = [](int square) { return 1ull << SquareBit(square); };
  int back = mover == WHITE ? SOUTH : NORTH;  // from the king toward the pawns that would attack
  for (int s : {king + back + WEST, king + back + EAST})
    if (b[s] != OFFBOARD) checks.pawn |= bit(s);
  for (int i = 0; i < 8; ++i)
    if (b[king + KNIGHT_STEPS[i]] != OFFBOARD) checks.knight |= bit(king + KNIGHT_STEPS[i]);
  for (int i = 0; i < 8; ++i) {
    int d = LINES[i], s = king + d;
    for (; b[s] == EMPTY; s += d)
      (SlidesAlong(BISHOP, d) ? checks.diagonal : checks.straight) |= bit(s);
    // If the first piece is the mover's (then it cannot be a slider along the line: the enemy
    // would be in check) and the next is a mover's slider along the line, moving the first piece
    // off the line uncovers an attack.
    if (b[s] == OFFBOARD || ColourOf(b[s]) != mover) continue;
    int behind = FirstSquareFrom(s, d);
    if (b[behind] != OFFBOARD && ColourOf(b[behind]) == mover && SlidesAlong(TypeOf(b[behind]), d))
      checks.uncovering |= bit(s);
  }
}

bool QuietMoveChecks(const CheckSquares& checks, Move move) {
  int king = checks.king;
  if (king == NO_SQUARE) return false;
  int from = MoveFrom(move), to = MoveTo(move);
  // Squares on one line from the king lie on no other line from it, so a path from `to` to the
  // king never crosses `from` unless both lie on one line from the king, where a piece of the
  // mover's would already stand between or give check.
  if (checks.uncovering & 1ull << SquareBit(from) &&
      LINE_STEP.step[king][to] != LINE_STEP.step[king][from])
    return true;
  std::uint64_t target = 1ull << SquareBit(to);
  switch (TypeOf(pos.board[from])) {
    case PAWN:
      return checks.pawn & target;
    case KNIGHT:
      return checks.knight & target;
    case BISHOP:
      return checks.diagonal & target;
    case ROOK:
      return checks.straight & target;
    case QUEEN:
      return (checks.diagonal | checks.straight) & target;
    default:
      return false;  // a king never attacks the other king
  }
}

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
