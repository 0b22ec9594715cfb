// The starting position, the fingerprint and the castling-rights masks.
#include "engine/makemove.h"
#include "test_util.h"

TEST(Position, StartingPositionAndHashes) {
  InitPosition();
  EXPECT_EQ(pos.board[E8], BLACK | KING);
  EXPECT_EQ(pos.board[E1], KING);
  EXPECT_EQ(pos.side, WHITE);
  EXPECT_EQ(pos.epSquare, NO_SQUARE);
  EXPECT_EQ(pos.historyLength, 0);
  EXPECT_EQ(pos.hash, 0xFC0000EEu);
  for (int i = 0; i < BOARD_SIZE; ++i) {
    bool border = i < 20 || i >= 100 || i % 10 == 0 || i % 10 == 9;
    EXPECT_EQ(border, pos.board[i] == OFFBOARD) << i;
  }

  ASSERT_TRUE(MakeMove(FindMove("g1f3")));
  EXPECT_EQ(pos.hash, 0xFC0000B4u);
  ASSERT_TRUE(MakeMove(FindMove("g8f6")));
  EXPECT_EQ(pos.hash, 0xFC000076u);
  EXPECT_EQ(pos.historyLength, 2);
  EXPECT_EQ(pos.history[0], 0xFC0000B4u);
  EXPECT_EQ(pos.history[1], 0xFC000076u);
}

// A right survives only while nothing has moved from or onto its king's or rook's square.
TEST(Position, CastlingRightsMasks) {
  struct Case {
    const char* fen;
    const char* move;
    int rightsAfter;
  };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1d1", 12},  // the king clears both white rights
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "h1h5", 14},  // the king-side rook only its own
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "a1a8", 5},   // both queen-side rights at once
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "h8h1", 10},  // capturing a rook on its home square
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8f8", 3},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", 12},  // castling itself
  };
  for (const Case& c : cases) {
    SetFen(c.fen);
    ASSERT_TRUE(MakeMove(FindMove(c.move))) << c.fen << " " << c.move;
    EXPECT_EQ(pos.castleRights, c.rightsAfter) << c.fen << " " << c.move;
  }
}

TEST(Position, FenRoundTripsAndRefusesBadInput) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
                          "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                          "8/8/8/8/k7/8/8/7K w - - 57 93"}) {
    SetFen(fen);
    EXPECT_EQ(PositionToFen(), fen);
  }
  // The last two fields default to a clock of 0 at move 1.
  SetFen("8/8/8/8/k7/8/8/7K b - -");
  EXPECT_EQ(PositionToFen(), "8/8/8/8/k7/8/8/7K b - - 0 1");

  InitPosition();
  const Position before = pos;
  const char* bad[] = {
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1",    // rank of 7 squares
      "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",   // digit 9
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1",            // 7 ranks
      "rnbqkbnx/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",   // unknown letter
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",   // side
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkx - 0 1",   // castling letter
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KK - 0 1",     // castling letter twice
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1",   // right without its rook
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3 0 1",  // no pawn passed e3
      "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e4 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - x 1",  // halfmove clock
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0",  // fullmove number 0
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1000000",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQQBNR w kq - 0 1",   // no white king
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w kq - 0 1",   // two white kings
      "rnbqkbnP/pppppppp/8/8/8/8/PPPPPPP1/RNBQKBNR w KQq - 0 1",  // pawn on the last rank
      "QQQQkQQQ/QQQQQQQQ/8/8/8/8/8/4K3 w - - 0 1",                // more than promotions give
      "4k2R/8/8/8/8/8/8/4K3 w - - 0 1",                           // side not to move in check
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq",       // too few fields
      "",
  };
  for (const char* fen : bad) {
    std::string error;
    EXPECT_FALSE(SetPositionFromFen(fen, error)) << fen;
    EXPECT_FALSE(error.empty()) << fen;
    EXPECT_TRUE(SamePosition(pos, before)) << fen;
  }
}
