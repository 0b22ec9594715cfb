// The search's shortcuts.
#include "engine/shortcuts.h"

#include <cassert>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/geometry.h"

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
