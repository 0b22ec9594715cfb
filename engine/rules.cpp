// The rules of the game beyond single moves.
#include "engine/rules.h"

#include <algorithm>
#include <bit>

#include "engine/attack.h"
#include "engine/bitboards.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/set_movegen.h"

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

int CountUnpinnedMovers(int colour, std::uint64_t excluded, int enough) {
  const int* b = pos.board;
  int enemy = colour ^ BLACK, forward = Forward(colour), count = 0;
  auto open = [&](int code) {
    return code == EMPTY || (IsPieceOf(code, enemy) && TypeOf(code) != KING);
  };
  std::uint64_t movers = pos.occupied[ColourIndex(colour)] & ~excluded & ~pos.pieces[colour | KING];
  for (; movers != 0 && count < enough; movers &= movers - 1) {
    int from = BitSquare(std::countr_zero(movers));
    int type = TypeOf(b[from]);
    bool canMove = false;
    if (type == PAWN) {
      int ahead = from + forward;
      canMove = b[ahead] == EMPTY || (b[ahead + WEST] != EMPTY && open(b[ahead + WEST])) ||
                (b[ahead + EAST] != EMPTY && open(b[ahead + EAST]));
    } else {
      for (const int* d = DIRECTIONS[type]; *d != 0 && !canMove; ++d) canMove = open(b[from + *d]);
    }
    count += canMove;
  }
  return count;
}

void ListLegalMoves(MoveList& list) {
  MoveList all;
  GenerateMoves(all);
  CheckRecord record;
  list.count = 0;
  for (int i = 0; i < all.count; ++i)
    if (IsLegal(all.moves[i], record)) list.moves[list.count++] = all.moves[i];
}

bool HasLegalMove(CheckRecord& record) {
  // Most positions show a legal move at once: a piece that is not pinned and has a square to go to,
  // and out of check, often one that stands on no line from the king.
  int kingBit = SquareBit(pos.kingSquare[ColourIndex(pos.side)]);
  std::uint64_t kingLines = BIT_MASKS.diagonal[kingBit] | BIT_MASKS.straight[kingBit];
  if (record.outOfCheck && CountUnpinnedMovers(pos.side, kingLines, 1) > 0) return true;
  const MoverKing& king = MoverKingOf(record);
  if (!king.checkers && CountUnpinnedMovers(pos.side, king.lines.pinned, 1) > 0) return true;
  MoveList list;
  GenerateLegalMoves(list, record);
  return list.count > 0;
}

Verdict GameVerdict() {
  if (FiftyMoveLimitReached()) return DRAW_BY_FIFTY_MOVES;
  if (RepetitionCount() >= REPETITION_DRAW) return DRAW_BY_REPETITION;
  CheckRecord record;
  if (HasLegalMove(record)) return PLAY_ON;
  return InCheck(pos.side) ? CHECKMATE : STALEMATE;
}
