// The game's search against the plain reference search, on positions from random games: the
// same root score and best move with the full window, and the same value in random windows.
#include <random>

#include "engine/makemove.h"
#include "engine/reference/plain_search.h"
#include "engine/search.h"
#include "test_util.h"

namespace {

// Starting points with checks, promotions, en passant, castling chances, few pieces and halfmove
// clocks close to 100.
const char* const STARTS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "4k3/8/8/3q4/8/8/3Q4/4K3 w - - 95 60",
    "6k1/5ppp/8/8/8/8/r4PPP/3R2K1 w - - 97 70",
    "8/8/3k4/8/3K4/8/3P4/8 w - - 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 90 50",
};

// Plays a random legal move; returns false when there is none.
bool PlayRandomMove(std::mt19937& rng) {
  MoveList list;
  GenerateMoves(list);
  Move legal[MAX_MOVES];
  int count = 0;
  for (int i = 0; i < list.count; ++i) {
    Undo undo;
    if (!MakeMove(list.moves[i], undo)) continue;
    UndoMove(list.moves[i], undo);
    legal[count++] = list.moves[i];
  }
  return count > 0 && MakeMove(legal[rng() % count]);
}

// The plain search is slow, and slower still with assertions and sanitizers, where fewer
// positions are compared; the Release run compares 2000.
#ifdef NDEBUG
constexpr int POSITIONS = 2000, DEEP = 20;
#else
constexpr int POSITIONS = 300, DEEP = 3;
#endif

}  // namespace

TEST(Differential, FastSearchMatchesPlainSearch) {
  std::mt19937 rng(2026);
  int compared = 0, deep = 0;
  for (int game = 0; compared < POSITIONS; ++game) {
    SetFen(STARTS[game % std::size(STARTS)]);
    for (int ply = 0; ply < 40 && compared < POSITIONS; ++ply) {
      if (!PlayRandomMove(rng)) break;
      // Mostly shallow searches, since the plain search is slow; depth 6 in small positions.
      int depth = 1 + static_cast<int>(rng() % 5);
      if (depth == 5 && rng() % 3) depth = 3;
      bool fewPieces = pos.material > -12 && pos.material < 12 && game % 10 >= 4;
      if (fewPieces && rng() % 8 == 0) depth = 6, ++deep;
      const Position before = pos;
      std::string where = PositionToFen() + " depth " + std::to_string(depth);

      bestMove = NO_MOVE;
      int plain = PlainSearch(-SCORE_INF, SCORE_INF, depth);
      Move plainMove = bestMove;
      bestMove = NO_MOVE;
      int fast = Search(-SCORE_INF, SCORE_INF, depth);
      ASSERT_EQ(fast, plain) << where;
      ASSERT_EQ(MoveToString(bestMove), MoveToString(plainMove)) << where;
      ASSERT_TRUE(SamePosition(pos, before)) << where;

      // Inside a tree every node is called with some window; the values must agree in any.
      for (int w = 0; w < 2; ++w) {
        int alpha = static_cast<int>(rng() % 31) - 15;
        int beta = alpha + 1 + static_cast<int>(rng() % (w ? 12 : 2));
        if (rng() % 10 == 0) alpha = -SCORE_INF, beta = -SCORE_INF + 1200;  // mate scores
        int windowDepth = 1 + static_cast<int>(rng() % 4);
        ASSERT_EQ(Search(alpha, beta, windowDepth), PlainSearch(alpha, beta, windowDepth))
            << PositionToFen() << " window " << alpha << " " << beta << " depth " << windowDepth;
      }
      ++compared;
    }
  }
  EXPECT_GE(deep, DEEP);
}
