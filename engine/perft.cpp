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

// Perft of depth >= 1.
std::uint64_t PerftFrom(int depth) {
  if (depth == 1) return CountLegalMoves();
  MoveList list;
  GenerateLegalMoves(list);
  std::uint64_t nodes = 0;
  for (int i = 0; i < list.count; ++i) {
    Undo undo;
    MakeMove<RULES_ONLY>(list.moves[i], undo, KNOWN_LEGAL);
    nodes += PerftFrom(depth - 1);
    UndoMove(list.moves[i], undo);
  }
  return nodes;
}

}  // namespace

std::uint64_t Perft(int depth) {
  if (depth <= 0) return 1;
  return PerftFrom(depth);
}
