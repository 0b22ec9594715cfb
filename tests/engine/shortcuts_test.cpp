// The search's shortcuts judge moves without making them; at every position of random games they
// must agree with making the move and testing for check.
#include "engine/shortcuts.h"

#include "engine/rules.h"
#include "test_util.h"

TEST(Shortcuts, JudgeMovesAsMakingThemWould) {
  std::mt19937 rng(4242);
  int judged = 0;
  for (int game = 0; game < 40; ++game)
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 80, [&] {
      bool inCheck = InCheck(pos.side);
      if (!inCheck && HasUnpinnedMove(pos.side)) {
        EXPECT_TRUE(HasLegalMove(false)) << PositionToFen();
      }
      CheckSquares checks;
      FindCheckSquares(checks);
      MoveList list;
      GenerateMoves(list);
      for (int i = 0; i < list.count; ++i) {
        Move move = list.moves[i];
        int flags = MoveFlags(move);
        bool plain = !(flags & (MF_PROMOTION | MF_CASTLE | MF_EN_PASSANT));
        bool judgeable = !inCheck && plain && TypeOf(pos.board[MoveTo(move)]) != KING;
        MoveKind kind = judgeable ? ClassifyMove(move, true) : MOVE_QUIET;
        bool quietCheck =
            !inCheck && plain && !(flags & MF_CAPTURE) && QuietMoveChecks(checks, move);
        std::string where = PositionToFen() + " " + MoveToString(move);
        Undo undo;
        bool legal = MakeMove(move, undo, KnownFromCheck(inCheck));
        if (judgeable) {
          EXPECT_EQ(kind == MOVE_ILLEGAL, !legal) << where;
        }
        if (!legal) continue;
        bool check = InCheck(pos.side);
        EXPECT_EQ(GivesCheck(move), check) << where;
        if (judgeable) {
          EXPECT_EQ(kind == MOVE_CHECKING, check) << where;
        }
        if (!inCheck && plain && !(flags & MF_CAPTURE)) {
          EXPECT_EQ(quietCheck, check) << where;
        }
        if (kind == MOVE_QUIET_OPPONENT_MOBILE) {
          EXPECT_TRUE(HasLegalMove(check)) << where;
        }
        UndoMove(move, undo);
        ++judged;
      }
      return !HasFailure();
    });
  EXPECT_GT(judged, 50000);
}
