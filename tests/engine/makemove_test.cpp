// Making moves, on every generated move at every position of random games whose starts hold every
// castling, en-passant and check quirk: MakeMove decides and leaves what the make move by
// definition decides and leaves, a refused move changes nothing, and UndoMove restores exactly;
// the legality, check and mobility tests that make no move answer as making it does.
#include "engine/makemove.h"

#include "engine/reference/plain_rules.h"
#include "engine/rules.h"
#include "engine/search.h"
#include "test_util.h"

TEST(MakeMove, MatchesDefinitionAndUndoes) {
  std::mt19937 rng(99);
  int moves = 0;
  for (int game = 0; game < 40; ++game)
    RandomGame(WALK_STARTS[game % WALK_START_COUNT], rng, 60, [&] {
      const Position before = pos;
      bool inCheck = InCheck(pos.side), anyLegal = false;
      CheckRecord record;
      int movers = CountUnpinnedMovers(pos.side ^ BLACK, EnemyKingOf(record).lines.pinned,
                                       MOST_MOVERS_TAKEN + 1);
      MoveList list;
      GenerateMoves(list);
      for (int i = 0; i < list.count; ++i, ++moves) {
        Move move = list.moves[i];
        std::string where = PositionToFen() + " " + MoveToString(move);
        bool judged = !inCheck && !(MoveFlags(move) & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION));
        bool checks = MoveGivesCheck(record, move);
        int taken = MoversTakenAtMost(move);
        Undo undo;
        bool made = MakeMove(move, undo);
        anyLegal |= made;
        if (made) {
          bool check = InCheck(pos.side);
          EXPECT_EQ(checks, check) << where;
          if (judged && !check && TypeOf(pos.board[MoveTo(move)]) != KING) {
            CheckRecord after;
            EXPECT_GE(CountUnpinnedMovers(pos.side, MoverKingOf(after).lines.pinned,
                                          MOST_MOVERS_TAKEN + 1),
                      movers - taken)
                << where;
          }
          UndoMove(move, undo);
        }
        EXPECT_EQ(IsLegal(move, record), made) << where;
        EXPECT_TRUE(SamePosition(pos, before)) << "made and undone " << where;
        EXPECT_EQ(MakeMove(move), made) << where;
        const Position after = pos;
        pos = before;
        EXPECT_EQ(MakeMoveByDefinition(move), made) << where;
        EXPECT_TRUE(SamePosition(pos, after)) << "by definition " << where;
        pos = before;
      }
      EXPECT_EQ(HasLegalMove(record), anyLegal) << PositionToFen();
      return !HasFailure();
    });
  EXPECT_GT(moves, 50000);
}
