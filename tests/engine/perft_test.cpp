// Perft: counts of legal move sequences, the first test of the rules. The counts of public test
// positions agree with standard chess at these depths; the one rule in which this program differs
// (castling may pass a square an enemy pawn covers only diagonally) shows in none of them.
#include "engine/perft.h"

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

#include "engine/legal_movegen.h"
#include "engine/makemove.h"
#include "engine/shortcuts.h"
#include "test_util.h"

TEST(Perft, StartingPosition) {
  InitPosition();
  const std::uint64_t expected[] = {1, 20, 400, 8902, 197281, 4865609};
  for (int depth = 0; depth <= 5; ++depth) EXPECT_EQ(Perft(depth), expected[depth]) << depth;
}

// Positions rich in castling, en passant, promotions, pins and checks.
TEST(Perft, PublicPositions) {
  struct Case {
    const char* fen;
    int depth;
    std::uint64_t nodes;
  };
  const Case cases[] = {
      {"2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 5, 266199},
      {"2kr3r/p1ppqpb1/bn2Qnp1/3PN3/1p2P3/2N5/PPPBBPPP/R3K2R b KQ - 3 2", 3, 99756},
      {"2r5/3pk3/8/2P5/8/2K5/8/8 w - - 5 4", 5, 177964},
      {"3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 6, 1134888},
      {"3k4/8/8/8/8/8/8/R3K3 w Q - 0 1", 6, 803711},
      {"4k2r/6K1/8/8/8/8/8/8 w k - 0 1", 6, 179869},
      {"4k3/1P6/8/8/8/8/K7/8 w - - 0 1", 6, 217342},
      {"4k3/8/8/8/4b3/8/8/R3K2R w KQ - 0 1", 4, 152066},
      {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", 6, 764643},
      {"4k3/8/8/8/8/8/8/R3K3 w Q - 0 1", 6, 846648},
      {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", 6, 661072},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5, 674624},
      {"8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1", 5, 1004658},
      {"8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 5, 206379},
      {"8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1", 5, 811573},
      {"8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1", 6, 1015133},
      {"8/8/8/2k5/2pP4/8/B7/4K3 b - d3 0 3", 6, 444954},
      {"8/8/8/8/8/8/1k6/R3K3 w Q - 0 1", 6, 413018},
      {"8/8/8/8/8/8/6k1/4K2R w K - 0 1", 6, 185867},
      {"8/8/8/8/k2Pp2Q/8/8/3K4 b - d3 0 1", 5, 117741},
      {"8/P1k5/K7/8/8/8/8/8 w - - 0 1", 6, 92683},
      {"8/k1P5/8/1K6/8/8/8/8 w - - 0 1", 7, 567584},
      {"K1k5/8/P7/8/8/8/8/8 w - - 0 1", 6, 2217},
      {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 4, 182838},
      {"r1bqkbnr/pppppppp/n7/8/8/P7/1PPPPPPP/RNBQKBNR w KQkq - 2 2", 4, 182327},
      {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 4, 422333},
      {"r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 3, 27826},
      {"r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1", 3, 50509},
      {"r3k2r/8/8/8/8/8/8/1R2K2R w Kkq - 0 1", 4, 328965},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 4, 314346},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4, 422333},
      {"r3k2r/p1pp1pb1/bn2Qnp1/2qPN3/1p2P3/2N5/PPPBBPPP/R3K2R b KQkq - 3 2", 4, 563603},
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
      {"r3k3/1K6/8/8/8/8/8/8 w q - 0 1", 6, 367724},
      {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
      {"r6r/1b2k1bq/8/8/7B/8/8/R3K2R b KQ - 3 2", 4, 206081},
      {"rnb2k1r/pp1Pbppp/2p5/q7/2B5/8/PPPQNnPP/RNB1K2R w KQ - 3 9", 3, 63647},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
  };
  for (const Case& c : cases) {
    SetFen(c.fen);
    EXPECT_EQ(Perft(c.depth), c.nodes) << c.fen << " depth " << c.depth;
  }
}

// Where castling passes a square that an enemy pawn covers only diagonally, these rules allow
// what standard chess forbids, so the counts differ from the standard ones by exactly those moves.
TEST(Perft, PawnDiagonalDoesNotStopCastling) {
  // Standard chess: the pawn on e2 covers d1 and f1, so white has 3 king moves, 19 rook moves and
  // no castling (22 in all); here both castling moves are legal as well.
  SetFen("4k3/8/8/8/8/8/4p3/R3K2R w KQ - 0 1");
  EXPECT_EQ(Perft(1), 24u);
  EXPECT_EQ(GeneratedMoves().substr(GeneratedMoves().size() - 9), "e1g1 e1c1");
  // Deeper in Kiwipete such castling moves appear: 4 085 603 in standard chess.
  SetFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  EXPECT_EQ(Perft(4), 4085662u);
}

// Returns how many enemy pieces could capture the king of the side to move, by generating the
// enemy's moves.
static int CheckerCount() {
  int king = pos.kingSquare[ColourIndex(pos.side)];
  pos.side ^= BLACK;
  MoveList list;
  GenerateMoves(list);
  pos.side ^= BLACK;
  std::uint64_t from = 0;
  for (int i = 0; i < list.count; ++i)
    if (MoveTo(list.moves[i]) == king) from |= SquareMask(MoveFrom(list.moves[i]));
  return std::popcount(from);
}

// At every position of random games the legal generator lists exactly the legal moves and the
// bulk count counts them, and at every fifth perft 2 is the sum over them (which takes perft's
// make and undo through every kind of move). The walks must meet every kind of move.
TEST(Perft, LegalMovesMatchMaking) {
  std::mt19937 rng(7);
  int positions = 0, checks = 0, doubleChecks = 0, enPassant = 0, castling = 0, promotions = 0;
  for (int game = 0; game < 90; ++game)
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 60, [&] {
      MoveList legal;
      ListLegalMoves(legal);
      std::vector<Move> made(legal.moves, legal.moves + legal.count);
      EXPECT_EQ(Perft(1), made.size()) << PositionToFen();
      MoveList list;
      GenerateLegalMoves(list);
      std::vector<Move> listed(list.moves, list.moves + list.count);
      std::sort(listed.begin(), listed.end());
      std::sort(made.begin(), made.end());
      EXPECT_EQ(listed, made) << PositionToFen();
      if (positions++ % 5 == 0) {
        std::uint64_t sum = 0;
        for (Move move : made) {
          Undo undo;
          MakeMove(move, undo);
          ListLegalMoves(legal);
          sum += legal.count;
          UndoMove(move, undo);
        }
        EXPECT_EQ(Perft(2), sum) << PositionToFen();
      }
      int checkers = CheckerCount();
      checks += checkers > 0;
      doubleChecks += checkers > 1;
      for (Move move : made) {
        enPassant += (MoveFlags(move) & MF_EN_PASSANT) != 0;
        castling += (MoveFlags(move) & MF_CASTLE) != 0;
        promotions += (MoveFlags(move) & MF_PROMOTION) != 0;
      }
      return !HasFailure();
    });
  EXPECT_GT(positions, 4000);
  EXPECT_GT(checks, 200);
  EXPECT_GT(doubleChecks, 8);
  EXPECT_GT(enPassant, 15);
  EXPECT_GT(castling, 100);
  EXPECT_GT(promotions, 500);
}

// Positions where a castling king crosses a square that an enemy pawn covers diagonally: our rules
// allow the castling, standardCastling refuses it, and only the counts through it differ.
//
// k7/8/8/8/8/8/4p3/4K2R w K: the pawn on e2 covers d1 and f1; e1g1 crosses f1.
//   Depth 1, white: the king goes to d2, f2 or takes on e2 (d1 and f1 are covered once the king
//   stands there): 3; the rook h2-h8 and g1, f1: 9; standard 12, ours 13 with O-O.
//   Depth 2, black's replies (king a8: a7, b7, b8; pawn e2: e1 when empty, takes on d1 or f1,
//   each promoting four ways): Kd2 and Kf2 free e1: 4 + 3 = 7 each; Kxe2: 3; Rh2-Rh6 (5 moves):
//   3 each, 15; Rh7 covers a7 and b7: 1; Rh8+ leaves a7 and b7: 2; Rg1: 3; Rf1: exf1 four ways + 3
//   = 7. Standard 7+7+3+15+1+2+3+7 = 45; after O-O (king g1, rook f1) e1 four ways and exf1
//   four ways + 3 = 11, ours 56.
// 7k/8/8/8/8/8/4p3/R3K3 w Q: the same pawn; e1c1 crosses d1.
//   Depth 1: king 3; the rook a2-a8 and b1, c1, d1: 10; standard 13, ours 14 with O-O-O.
//   Depth 2 (king h8: g8, g7, h7): Kd2, Kf2: 7 each; Kxe2: 3; Ra2-Ra6: 15; Ra7: 1 (g8);
//   Ra8+: 2 (g7, h7); Rb1, Rc1: 3 each; Rd1: exd1 four ways + 3 = 7. Standard 48; after O-O-O
//   (king c1, rook d1) e1 four ways and exd1 four ways + 3 = 11, ours 59.
// 4k2r/4P3/8/8/8/8/8/K7 b k: the first position with the colours reversed, the same counts.
TEST(Perft, StandardCastlingRefusesPawnCoveredSquares) {
  struct Case {
    const char* fen;
    std::uint64_t ours[2], standard[2];  // depth 1 and 2
  };
  const Case cases[] = {
      {"k7/8/8/8/8/8/4p3/4K2R w K - 0 1", {13, 56}, {12, 45}},
      {"7k/8/8/8/8/8/4p3/R3K3 w Q - 0 1", {14, 59}, {13, 48}},
      {"4k2r/4P3/8/8/8/8/8/K7 b k - 0 1", {13, 56}, {12, 45}},
  };
  for (const Case& c : cases) {
    SetFen(c.fen);
    for (int depth = 1; depth <= 2; ++depth) {
      EXPECT_EQ(Perft(depth), c.ours[depth - 1]) << c.fen << " depth " << depth;
      standardCastling = true;
      EXPECT_EQ(Perft(depth), c.standard[depth - 1]) << c.fen << " depth " << depth;
      standardCastling = false;
    }
  }
}
