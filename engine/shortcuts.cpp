// The search's shortcuts.
#include "engine/shortcuts.h"

#include <cassert>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/geometry.h"

namespace {

constexpr const std::int32_t (&KNIGHT_JUMPS)[9] = DIRECTIONS[KNIGHT];

}  // namespace

bool HasUnpinnedMove(int colour) {
  const int* b = pos.board;
  int king = pos.kingSquare[ColourIndex(colour)], enemy = colour ^ BLACK;
  int forward = Forward(colour);
  // A target that a move can take: an empty square or an enemy piece other than the king.
  auto open = [&](int code) {
    return code == EMPTY || (IsPieceOf(code, enemy) && TypeOf(code) != KING);
  };
  for (std::uint64_t own = pos.occupied[ColourIndex(colour)]; own != 0; own &= own - 1) {
    int from = BitSquare(std::countr_zero(own));
    int code = b[from];
    assert(IsPieceOf(code, colour));
    if (TypeOf(code) == KING) continue;
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
  int& ownKing = pos.kingSquare[ColourIndex(mover)];
  int enemyKing = pos.kingSquare[ColourIndex(opponent)], savedEp = pos.epSquare;
  bool kingMove = TypeOf(piece) == KING;
  // Look at the board with the piece moved, as MakeMove's tests would, then put it back: the
  // cells, the occupancy bits the tests read and the king's square. (After the move no
  // en-passant capture is possible; the castling rights it could clear are those of a rook it
  // captures at home, which do not touch the king's square.)
  std::uint64_t savedOccupied[2] = {pos.occupied[0], pos.occupied[1]};
  pos.occupied[ColourIndex(mover)] ^= SquareMask(from) | SquareMask(to);
  pos.occupied[ColourIndex(opponent)] &= ~SquareMask(to);
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
  int king = pos.kingSquare[ColourIndex(pos.side)], by = pos.side ^ BLACK;
  checkers = {.count = 0, .square = NO_SQUARE, .step = 0, .quirk = false};
  if (king == NO_SQUARE) return;
  checkers.quirk = IsCastlingDestination(king, by);
  auto add = [&](int square, int step) {
    ++checkers.count;
    checkers.square = square;
    checkers.step = step;
  };
  int back = -Forward(by);  // from the king toward the pawns that attack it
  for (int s : {king + back + WEST, king + back + EAST})
    if (b[s] == (by | PAWN)) add(s, 0);
  for (int i = 0; i < LINE_COUNT; ++i) {
    if (b[king + KNIGHT_JUMPS[i]] == (by | KNIGHT)) add(king + KNIGHT_JUMPS[i], 0);
    if (b[king + LINES[i]] == (by | KING)) add(king + LINES[i], 0);
    int s = FirstSquareFrom(king, LINES[i]);
    if (IsPieceOf(b[s], by) && SlidesAlong(TypeOf(b[s]), LINES[i])) add(s, LINES[i]);
  }
}

bool MayEvade(const Checkers& checkers, Move move) {
  int from = MoveFrom(move), to = MoveTo(move);
  if (checkers.quirk || TypeOf(pos.board[from]) == KING || MoveFlags(move) & MF_EN_PASSANT)
    return true;
  if (checkers.count != 1) return checkers.count == 0;
  if (to == checkers.square) return true;
  // A block: the destination lies on the checking line, between the king and the checker.
  int king = pos.kingSquare[ColourIndex(pos.side)];
  return checkers.step != 0 && LINE_STEP.step[king][to] == checkers.step &&
         LINE_STEP.step[to][checkers.square] == checkers.step;
}

void FindCheckSquares(CheckSquares& checks) {
  const int* b = pos.board;
  int mover = pos.side;
  int king = pos.kingSquare[ColourIndex(mover ^ BLACK)];
  checks = {.king = king, .pawn = 0, .knight = 0, .diagonal = 0, .straight = 0, .uncovering = 0};
  if (king == NO_SQUARE) return;
  int back = -Forward(mover);  // from the king toward the pawns that would attack it
  for (int s : {king + back + WEST, king + back + EAST})
    if (b[s] != OFFBOARD) checks.pawn |= SquareMask(s);
  for (int jump : KNIGHT_JUMPS)
    if (jump != 0 && b[king + jump] != OFFBOARD) checks.knight |= SquareMask(king + jump);
  for (int i = 0; i < LINE_COUNT; ++i) {
    int d = LINES[i], s = king + d;
    for (; b[s] == EMPTY; s += d)
      (IsDiagonal(d) ? checks.diagonal : checks.straight) |= SquareMask(s);
    // If the first piece is the mover's (then it cannot be a slider along the line: the enemy
    // would be in check) and the next is a mover's slider along the line, moving the first piece
    // off the line uncovers an attack.
    if (!IsPieceOf(b[s], mover)) continue;
    int behind = b[FirstSquareFrom(s, d)];
    if (IsPieceOf(behind, mover) && SlidesAlong(TypeOf(behind), d))
      checks.uncovering |= SquareMask(s);
  }
}

bool QuietMoveChecks(const CheckSquares& checks, Move move) {
  int king = checks.king;
  if (king == NO_SQUARE) return false;
  int from = MoveFrom(move), to = MoveTo(move);
  // Squares on one line from the king lie on no other line from it, so a path from `to` to the
  // king never crosses `from` unless both lie on one line from the king, where a piece of the
  // mover's would already stand between or give check.
  if (checks.uncovering & SquareMask(from) &&
      LINE_STEP.step[king][to] != LINE_STEP.step[king][from])
    return true;
  std::uint64_t target = SquareMask(to);
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
