// The move generators over the piece sets.
#include "engine/set_movegen.h"

#include <cassert>

#include "engine/move_visitors.h"

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
  void AddPawnMoves(const visitors::PawnMoves& moves) {
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

// Calls visit.template operator()<COLOUR>() for COLOUR the side to move: the generators are
// compiled for each colour, so that its directions and ranks are constants.
template <typename Visit>
void ForSideToMove(Visit visit) {
  if (pos.side == WHITE)
    visit.template operator()<WHITE>();
  else
    visit.template operator()<BLACK>();
}

// Lists the captures (en passant included) and promotions of COLOUR, pseudo-legal.
template <int COLOUR>
void ListCaptures(MoveList& list) {
  const std::uint64_t* p = pos.pieces;
  const std::uint64_t enemy = pos.occupied[ColourIndex(COLOUR ^ BLACK)];
  const std::uint64_t occupied = enemy | pos.occupied[ColourIndex(COLOUR)];
  constexpr std::uint64_t LAST_RANK = RankBits(RankOf(COLOUR == WHITE ? A8 : A1));
  MoveLister lister{list, enemy};
  // A pawn's steps count only onto the last rank, where they promote.
  visitors::VisitPawnMoves<COLOUR>(lister, p[COLOUR | PAWN], ~occupied & LAST_RANK, enemy, ~0ull);
  visitors::VisitPieceMoves<COLOUR>(lister, ~0ull, occupied, [enemy](int, int) { return enemy; });
  int king = LowestBit(p[COLOUR | KING]);
  lister.AddPieceMoves(king, BIT_MASKS.king[king] & enemy);
  visitors::VisitEnPassant<COLOUR>(lister, [](int) { return true; });
}

// Lists the quiet moves of COLOUR, pseudo-legal, castling on the rights alone; with a record,
// only those that give check, and castling. A piece that uncovers no attack checks only from the
// squares its kind checks from; the moves of one that does are each asked.
template <int COLOUR>
void ListQuietMoves(MoveList& list, CheckRecord* record) {
  const std::uint64_t* p = pos.pieces;
  const std::uint64_t occupied = pos.occupied[0] | pos.occupied[1];
  constexpr std::uint64_t LAST_RANK = RankBits(RankOf(COLOUR == WHITE ? A8 : A1));
  const EnemyKing* checks = record ? &EnemyKingOf(*record) : nullptr;
  const std::uint64_t empty = ~occupied, uncovering = checks ? checks->uncovering : 0;
  MoveLister lister{list, 0};
  // Returns the squares a piece of `type` on `bit` may move onto.
  auto onto = [&](int type, int bit) {
    return checks && !(uncovering >> bit & 1) ? empty & checks->checkSquares[type] : empty;
  };
  const std::uint64_t pawns = p[COLOUR | PAWN];
  visitors::VisitPawnMoves<COLOUR>(lister, pawns & ~uncovering, empty & ~LAST_RANK, 0,
                                   checks ? checks->checkSquares[PAWN] : ~0ull);
  if (pawns & uncovering)
    visitors::VisitPawnMoves<COLOUR>(lister, pawns & uncovering, empty & ~LAST_RANK, 0, ~0ull);
  visitors::VisitPieceMoves<COLOUR>(lister, ~0ull, occupied, onto);
  int king = LowestBit(p[COLOUR | KING]);
  lister.AddPieceMoves(king, BIT_MASKS.king[king] & onto(KING, king));
  if (uncovering) {
    int kept = 0;
    for (int i = 0; i < list.count; ++i)
      if (!(uncovering & SquareMask(MoveFrom(list.moves[i]))) ||
          MoveGivesCheck(*record, list.moves[i]))
        list.moves[kept++] = list.moves[i];
    list.count = kept;
  }
  visitors::VisitCastlings<COLOUR>(lister, [](const Castling&) { return true; });
}

}  // namespace

void GenerateCaptures(MoveList& list) {
  list.count = 0;
  ForSideToMove([&]<int COLOUR>() { ListCaptures<COLOUR>(list); });
}

void GenerateQuietMoves(MoveList& list) {
  list.count = 0;
  ForSideToMove([&]<int COLOUR>() { ListQuietMoves<COLOUR>(list, nullptr); });
}

void GenerateQuietChecks(MoveList& list, CheckRecord& record) {
  list.count = 0;
  ForSideToMove([&]<int COLOUR>() { ListQuietMoves<COLOUR>(list, &record); });
}

void GenerateLegalMoves(MoveList& list, CheckRecord& record) {
  list.count = 0;
  MoveLister lister{list, pos.occupied[ColourIndex(pos.side ^ BLACK)]};
  const MoverKing& king = MoverKingOf(record);
  ForSideToMove([&]<int COLOUR>() { visitors::VisitLegalMoves<COLOUR>(lister, king); });
}
