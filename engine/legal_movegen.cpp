// The legal move generator.
#include "engine/legal_movegen.h"

namespace {

// The sink that appends each move to a list, in the encoding GenerateMoves uses.
struct MoveLister {
  MoveList& list;
  std::uint64_t enemy;  // the squares whose piece a move onto them captures

  void AddMove(Move move) {
    assert(list.count < MAX_MOVES);
    list.moves[list.count++] = move;
  }
  void AddPieceMoves(int from, std::uint64_t targets) {
    for (; targets; targets &= targets - 1) {
      int to = LowestBit(targets);
      AddMove(EncodeMove(BitSquare(from), BitSquare(to), 0, enemy >> to & 1 ? MF_CAPTURE : 0));
    }
  }
  template <int COLOUR>
  void AddPawnMoves(const legal::PawnMoves& moves) {
    constexpr int BACK = COLOUR == WHITE ? ROW_BITS : -ROW_BITS;  // one row toward the own side
    AddPawnMovesOf(moves.step, BACK, MF_PAWN);
    AddPawnMovesOf(moves.doubleStep, 2 * BACK, MF_PAWN | MF_DOUBLE_PUSH);
    AddPawnMovesOf(moves.towardA, BACK + 1, MF_PAWN | MF_CAPTURE);
    AddPawnMovesOf(moves.towardH, BACK - 1, MF_PAWN | MF_CAPTURE);
  }
  // Appends the moves onto targets of the pawns `back` bits behind them; four promotions each
  // onto the last rank.
  void AddPawnMovesOf(std::uint64_t targets, int back, int flags) {
    for (; targets; targets &= targets - 1) {
      int to = LowestBit(targets), from = BitSquare(to + back);
      if (!(1ull << to & (RankBits(RankOf(A1)) | RankBits(RankOf(A8))))) {
        AddMove(EncodeMove(from, BitSquare(to), 0, flags));
        continue;
      }
      for (int piece : {KNIGHT, BISHOP, ROOK, QUEEN})
        AddMove(EncodeMove(from, BitSquare(to), piece, flags | MF_PROMOTION));
    }
  }
};

}  // namespace

void GenerateLegalMoves(MoveList& list) {
  list.count = 0;
  MoveLister lister{list, pos.occupied[ColourIndex(pos.side ^ BLACK)]};
  if (pos.side == WHITE)
    legal::VisitLegalMoves<WHITE>(lister);
  else
    legal::VisitLegalMoves<BLACK>(lister);
}
