// Making moves: the same result as the plain make move by definition on every move of random
// games, undone exactly, and refusals that change nothing.
#include "engine/makemove.h"

#include "engine/reference/plain_rules.h"
#include "test_util.h"

// Makes the named move and checks it is accepted; returns false (failing the test) otherwise.
static bool Make(const char* name) {
  Move move = FindMove(name);
  EXPECT_NE(move, NO_MOVE) << name << " is not generated in " << PositionToFen();
  return move != NO_MOVE && MakeMove(move);
}

// Checks that the named generated move is refused and leaves every field as it was.
static void ExpectRefused(const char* fen, const char* name) {
  SetFen(fen);
  Move move = FindMove(name);
  ASSERT_NE(move, NO_MOVE) << name << " is not generated in " << fen;
  const Position before = pos;
  EXPECT_FALSE(MakeMove(move)) << fen << " " << name;
  EXPECT_TRUE(SamePosition(pos, before)) << fen << " " << name;
}

// At every position of random games, every generated move: MakeMove decides and leaves what the
// plain make move by definition decides and leaves, and UndoMove restores the position exactly.
TEST(MakeMove, MatchesDefinitionAndUndoes) {
  std::mt19937 rng(99);
  int moves = 0;
  for (int game = 0; game < 40; ++game)
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 60, [&] {
      const Position before = pos;
      bool inCheck = InCheck(pos.side);
      MoveList list;
      GenerateMoves(list);
      for (int i = 0; i < list.count; ++i, ++moves) {
        Move move = list.moves[i];
        std::string where = PositionToFen() + " " + MoveToString(move);
        Undo undo;
        bool made = MakeMove(move, undo, KnownFromCheck(inCheck));
        if (made) UndoMove(move, undo);
        EXPECT_TRUE(SamePosition(pos, before)) << "made and undone " << where;
        EXPECT_EQ(MakeMove(move), made) << where;
        const Position after = pos;
        pos = before;
        EXPECT_EQ(MakeMoveByDefinition(move), made) << where;
        EXPECT_TRUE(SamePosition(pos, after)) << "by definition " << where;
        pos = before;
      }
      return !HasFailure();
    });
  EXPECT_GT(moves, 50000);
}

TEST(MakeMove, Refusals) {
  // Castling through occupied cells, out of check, through or onto attacked squares.
  ExpectRefused("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e1g1");
  ExpectRefused("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e1c1");
  ExpectRefused("4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", "e1c1");
  ExpectRefused("4k3/8/8/8/8/8/8/R3K1NR w KQ - 0 1", "e1g1");
  ExpectRefused("4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", "e1g1");
  ExpectRefused("4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", "e1c1");
  ExpectRefused("2r1k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1");
  ExpectRefused("3rk3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1");
  ExpectRefused("4k1r1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1");
  ExpectRefused("4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1");
  // Once the king stands on g1 a pawn on h2 can capture it.
  ExpectRefused("4k3/8/8/8/8/8/4p2p/R3K2R w KQ - 0 1", "e1g1");
  // A pinned piece, a king stepping into check, a move left in check.
  ExpectRefused("4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "e2c3");
  ExpectRefused("4k3/3r4/8/8/8/8/8/4K3 w - - 0 1", "e1d1");
  ExpectRefused("4k3/4r3/8/8/8/8/8/N3K3 w - - 0 1", "a1b3");
  // An en-passant capture that uncovers the king along the rank.
  ExpectRefused("4k3/8/8/K2pP2r/8/8/8/8 w - d6 0 1", "e5d6");

  // Long castling may pass a b1 that is attacked but empty, and squares covered only by a
  // pawn's diagonal do not count.
  SetFen("1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  EXPECT_TRUE(Make("e1c1"));
  SetFen("4k3/8/8/8/8/8/4p3/R3K2R w KQ - 0 1");
  EXPECT_TRUE(Make("e1g1"));
  SetFen("4k3/8/8/8/8/8/4p3/R3K2R w KQ - 0 1");
  EXPECT_TRUE(Make("e1c1"));

  // A king on the enemy's castling destination counts as attacked only while the enemy keeps
  // the right, and the move being tested is already taken into account: capturing the rook
  // clears the right and so the "attack". (Any other move leaves the king in check from h8.)
  SetFen("4k1Kr/8/8/8/8/8/8/7R w k - 0 1");
  EXPECT_TRUE(Make("h1h8"));
}
