// The rules of the game beyond single moves.
#include "engine/rules.h"

#include <algorithm>
#include <bit>

#include "engine/attack.h"
#include "engine/legal_movegen.h"
#include "engine/makemove.h"
#include "engine/movegen.h"

int RepetitionCount() {
  // Strong keys rather than the 32-bit hash: the hash ignores the side to move and folds the
  // board into eleven bits, so different positions can share it. The key ring keeps going after
  // the hash history stops at MAX_HISTORY entries.
  int window = std::min({pos.halfmoveClock, pos.plyCount, KEYS_KEPT});
  int count = 0;
  for (int n = pos.plyCount - window + 1; n <= pos.plyCount; ++n)
    if (pos.keyRing[(n - 1) % KEY_RING] == pos.key) ++count;
  return count;
}

int CountUnpinnedMovers(int colour, int enough) {
  const int* b = pos.board;
  int king = pos.kingSquare[ColourIndex(colour)], enemy = colour ^ BLACK;
  int forward = Forward(colour), count = 0;
  auto open = [&](int code) {
    return code == EMPTY || (IsPieceOf(code, enemy) && TypeOf(code) != KING);
  };
  for (std::uint64_t own = pos.occupied[ColourIndex(colour)]; own != 0 && count < enough;
       own &= own - 1) {
    int from = BitSquare(std::countr_zero(own));
    int type = TypeOf(b[from]);
    if (type == KING) continue;
    // Whether the piece can move at all is cheaper to see than whether it is pinned.
    bool canMove = false;
    if (type == PAWN) {
      int ahead = from + forward;
      canMove = b[ahead] == EMPTY || (b[ahead + WEST] != EMPTY && open(b[ahead + WEST])) ||
                (b[ahead + EAST] != EMPTY && open(b[ahead + EAST]));
    } else {
      for (const int* d = DIRECTIONS[type]; *d != 0 && !canMove; ++d) canMove = open(b[from + *d]);
    }
    if (canMove && !UncoversAttack(king, from, enemy)) ++count;
  }
  return count;
}

void ListLegalMoves(MoveList& list) {
  MoveList all;
  GenerateMoves(all);
  KnownLegality known = KnownFromCheck(InCheck(pos.side));
  list.count = 0;
  for (int i = 0; i < all.count; ++i)
    if (IsLegal(all.moves[i], known)) list.moves[list.count++] = all.moves[i];
}

int MoversTakenAtMost(Move move) {
  const int* b = pos.board;
  int from = MoveFrom(move), to = MoveTo(move);
  int opponentPawn = (pos.side ^ BLACK) | PAWN, back = Forward(pos.side);  // toward its pawns
  return 2 + (b[to] != EMPTY) + (b[to + back] == opponentPawn) +
         (b[from + back + WEST] == opponentPawn) + (b[from + back + EAST] == opponentPawn);
}

bool HasLegalMove(bool inCheck) {
  // Most positions show a legal move at once: a piece that is not pinned and has a square to go to.
  if (!inCheck && CountUnpinnedMovers(pos.side, 1) > 0) return true;
  MoveList list;
  GenerateLegalMoves(list);
  return list.count > 0;
}

Verdict GameVerdict() {
  if (FiftyMoveLimitReached()) return DRAW_BY_FIFTY_MOVES;
  if (RepetitionCount() >= REPETITION_DRAW) return DRAW_BY_REPETITION;
  bool inCheck = InCheck(pos.side);
  if (HasLegalMove(inCheck)) return PLAY_ON;
  return inCheck ? CHECKMATE : STALEMATE;
}
