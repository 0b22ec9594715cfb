// Perft by the standard castling rule against a public table of standard counts, by our rules
// where they differ from standard chess, and the legal generator and the bulk count against
// making moves along random games.
#include "engine/perft.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/attack.h"
#include "engine/castling.h"
#include "engine/set_movegen.h"
#include "test_util.h"

// The table, data/perft-standard.tsv, holds about 4e9 nodes, some seconds for the bulk counter.
// Builds with assertions run only the smaller counts.
#ifdef NDEBUG
constexpr std::uint64_t NODE_LIMIT = UINT64_MAX;
#else
constexpr std::uint64_t NODE_LIMIT = 2000000;  // assertions and sanitizers are slow
#endif

TEST(StandardPerft, MatchesTheTable) {
  std::ifstream file(PERFT_STANDARD_TSV);
  ASSERT_TRUE(file) << "cannot read " << PERFT_STANDARD_TSV;
  standardRules = true;
  int cases = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string fen;
    int depth = 0;
    std::uint64_t nodes = 0;
    std::getline(fields, fen, '\t');
    fields >> depth >> nodes;
    EXPECT_TRUE(fields) << "bad line: " << line;
    ++cases;
    if (nodes >= NODE_LIMIT) continue;
    SetFen(fen);
    EXPECT_EQ(Perft(depth), nodes) << fen << " depth " << depth;
  }
  standardRules = false;
  EXPECT_GT(cases, 200);
}

// Where castling passes a square that an enemy pawn covers only diagonally, these rules allow
// what standard chess forbids, so the counts differ from the standard ones by exactly those moves.
TEST(Perft, PawnDiagonalDoesNotStopCastling) {
  // Standard chess: the pawn on e2 covers d1 and f1, so white has 3 king moves, 19 rook moves and
  // no castling (22 in all); here both castling moves are legal as well.
  SetFen("4k3/8/8/8/8/8/4p3/R3K2R w KQ - 0 1");
  EXPECT_EQ(Perft(1), 24u);
  // Deeper in Kiwipete such castling moves appear: 4 085 603 in standard chess.
  SetFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  EXPECT_EQ(Perft(4), 4085662u);
}

// At every position of random games the legal generator lists exactly the legal moves and the
// bulk count counts them, and at every fifth perft 2 is the sum over them (which takes perft's
// make and undo through every kind of move), with the bits counted either way. The walks must meet
// every kind of move, and checks; they start from every position of WALK_STARTS, double checks
// among them.
TEST(Perft, LegalMovesMatchMaking) {
  std::mt19937 rng(7);
  int positions = 0, checks = 0, enPassant = 0, castling = 0, promotions = 0;
  for (int game = 0; game < 90; ++game)
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 60, [&] {
      MoveList legal, list;
      ListLegalMoves(legal);
      CheckRecord record;
      GenerateLegalMoves(list, record);
      std::vector<Move> made(legal.moves, legal.moves + legal.count),
          listed(list.moves, list.moves + list.count);
      for (BitCount bitCount : {PLAIN_BIT_COUNT, CPU_BIT_COUNT})
        EXPECT_EQ(Perft(1, bitCount), made.size()) << PositionToFen();
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
        for (BitCount bitCount : {PLAIN_BIT_COUNT, CPU_BIT_COUNT})
          EXPECT_EQ(Perft(2, bitCount), sum) << PositionToFen();
      }
      checks += InCheck(pos.side);
      for (Move move : made) {
        enPassant += (MoveFlags(move) & MF_EN_PASSANT) != 0;
        castling += (MoveFlags(move) & MF_CASTLE) != 0;
        promotions += (MoveFlags(move) & MF_PROMOTION) != 0;
      }
      return !HasFailure();
    });
  EXPECT_GT(positions, 4000);
  EXPECT_GT(checks, 200);
  EXPECT_GT(enPassant, 10);
  EXPECT_GT(castling, 100);
  EXPECT_GT(promotions, 500);
}
