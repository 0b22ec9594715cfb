// The attack tests: the quirks of the generator-based definition, and the fast test checked
// against that definition on many positions.
#include "engine/attack.h"

#include <algorithm>
#include <random>
#include <vector>

#include "engine/makemove.h"
#include "engine/reference/plain_rules.h"
#include "engine/shortcuts.h"
#include "test_util.h"

TEST(Attack, DefinitionQuirks) {
  InitPosition();
  for (auto attacked : {IsAttacked, IsAttackedByGenerator}) {
    EXPECT_FALSE(attacked(E2, BLACK));
    EXPECT_TRUE(attacked(E3, WHITE));   // empty, reached by the pawn step e2-e3
    EXPECT_TRUE(attacked(E4, WHITE));   // and by the double step
    EXPECT_FALSE(attacked(D6, WHITE));  // covered by nothing
  }
  EXPECT_FALSE(InCheck(WHITE));
  EXPECT_FALSE(InCheck(BLACK));

  // A rook on the open file checks whoever is to move, and the test leaves side alone.
  for (int side : {WHITE, BLACK}) {
    SetFen("4r1k1/8/8/8/8/8/8/4K3 w - - 0 1");
    pos.side = side;
    EXPECT_TRUE(InCheck(WHITE));
    EXPECT_TRUE(InCheckByGenerator(WHITE));
    EXPECT_EQ(pos.side, side);
  }

  // A pawn covers empty squares straight ahead, not diagonally.
  SetFen("4k3/8/8/8/8/8/4p3/7K w - - 0 1");
  for (auto attacked : {IsAttacked, IsAttackedByGenerator}) {
    EXPECT_FALSE(attacked(F1, BLACK));
    EXPECT_TRUE(attacked(E1, BLACK));
  }

  // A castling move counts for its king's destination whatever stands there, and an en-passant
  // capture for its square.
  SetFen("r3k2r/8/8/3pP3/8/8/8/4K3 w kq d6 0 1");
  for (auto attacked : {IsAttacked, IsAttackedByGenerator}) {
    EXPECT_TRUE(attacked(G8, BLACK));
    EXPECT_TRUE(attacked(C8, BLACK));
    EXPECT_FALSE(attacked(G1, BLACK));
    EXPECT_TRUE(attacked(D6, WHITE));
  }
}

// Plays random legal moves from varied positions and checks, at every position, the fast attack
// and check tests against the generator-based definitions for every square and both colours, and
// that UndoMove restores the position exactly.
TEST(Attack, FastTestMatchesDefinition) {
  const char* starts[] = {
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
      "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
      "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
  };
  std::mt19937 rng(12345);
  int positions = 0, evasionPositions = 0;
  for (int game = 0; game < 48; ++game) {
    SetFen(starts[game % 6]);
    for (int ply = 0; ply < 80; ++ply) {
      for (int square = A8; square <= H1; ++square)
        for (int by : {WHITE, BLACK})
          ASSERT_EQ(IsAttacked(square, by), IsAttackedByGenerator(square, by))
              << PositionToFen() << " square " << SquareName(square) << " by " << by;
      for (int colour : {WHITE, BLACK})
        ASSERT_EQ(InCheck(colour), InCheckByGenerator(colour)) << PositionToFen();
      ++positions;

      // The special generators give exactly the moves they promise, as sets: captures and
      // promotions plus the quiet moves are all the moves; out of check the quiet checks are the
      // quiet moves that give check, and castling; in check the evasions are the moves not ruled
      // out.
      MoveList all, captures, quietMoves, special;
      GenerateMoves(all);
      GenerateCaptures(captures);
      GenerateQuietMoves(quietMoves);
      std::vector<Move> expected, got;
      auto expectSame = [&]() {
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        return expected == got;
      };
      expected.assign(all.moves, all.moves + all.count);
      got.assign(captures.moves, captures.moves + captures.count);
      got.insert(got.end(), quietMoves.moves, quietMoves.moves + quietMoves.count);
      for (int i = 0; i < captures.count; ++i)
        ASSERT_TRUE(MoveFlags(captures.moves[i]) & (MF_CAPTURE | MF_PROMOTION));
      ASSERT_TRUE(expectSame()) << "captures and quiet moves " << PositionToFen();
      if (!InCheck(pos.side)) {
        CheckSquares checks;
        FindCheckSquares(checks);
        GenerateQuietChecks(special, checks);
        expected.clear();
        for (int i = 0; i < quietMoves.count; ++i) {
          Move move = quietMoves.moves[i];
          if (MoveFlags(move) & MF_CASTLE || QuietMoveChecks(checks, move))
            expected.push_back(move);
        }
        got.assign(special.moves, special.moves + special.count);
        ASSERT_TRUE(expectSame()) << "quiet checks " << PositionToFen();
      } else {
        Checkers checkers;
        FindCheckers(checkers);
        GenerateEvasions(special, checkers);
        expected.clear();
        for (int i = 0; i < all.count; ++i)
          if (MayEvade(checkers, all.moves[i])) expected.push_back(all.moves[i]);
        got.assign(special.moves, special.moves + special.count);
        ASSERT_TRUE(expectSame()) << "evasions " << PositionToFen();
        ++evasionPositions;
      }

      // The search's shortcuts judge moves without making them; they must agree with MakeMove
      // and the check test.
      bool inCheck = InCheck(pos.side);
      CheckSquares checks;
      FindCheckSquares(checks);
      Move legal[MAX_MOVES];
      int count = 0;
      for (int i = 0; i < all.count; ++i) {
        Move move = all.moves[i];
        const Position before = pos;
        bool plain = !(MoveFlags(move) & (MF_PROMOTION | MF_CASTLE | MF_EN_PASSANT));
        bool quiet = plain && !(MoveFlags(move) & MF_CAPTURE);
        MoveKind kind = !inCheck && plain ? ClassifyMove(move, true) : MOVE_QUIET;
        bool checksQuietly = !inCheck && quiet && QuietMoveChecks(checks, move);
        ASSERT_TRUE(SamePosition(pos, before));
        Undo undo;
        if (!MakeMove(move, undo, inCheck)) {
          ASSERT_TRUE(SamePosition(pos, before)) << "refused " << MoveToString(move);
          if (!inCheck && plain) {
            ASSERT_EQ(kind, MOVE_ILLEGAL) << PositionToFen() << " " << MoveToString(move);
          }
          continue;
        }
        bool check = InCheck(pos.side);
        if (!inCheck && plain) {
          ASSERT_NE(kind, MOVE_ILLEGAL) << MoveToString(move);
          ASSERT_EQ(kind == MOVE_CHECKING, check) << before.side << MoveToString(move);
        }
        if (!inCheck && quiet) {
          ASSERT_EQ(checksQuietly, check) << PositionToFen() << " " << MoveToString(move);
        }
        legal[count++] = move;
        UndoMove(move, undo);
        ASSERT_TRUE(SamePosition(pos, before)) << "undo " << MoveToString(move);
      }
      if (count == 0) break;
      ASSERT_TRUE(MakeMove(legal[rng() % count]));
    }
  }
  EXPECT_GT(positions, 2000);
  EXPECT_GT(evasionPositions, 50);
}
