// FEN: positions read back as they were written, and bad input refused with a reason, leaving the
// position as it was.
#include "test_util.h"

TEST(Position, FenRoundTripsAndRefusesBadInput) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
                          "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                          "8/8/8/8/k7/8/8/7K w - - 57 93"}) {
    SetFen(fen);
    EXPECT_EQ(PositionToFen(), fen);
  }
  // The last two fields default to a clock of 0 at move 1; move 0 is move 1.
  SetFen("8/8/8/8/k7/8/8/7K b - -");
  EXPECT_EQ(PositionToFen(), "8/8/8/8/k7/8/8/7K b - - 0 1");
  SetFen("8/8/8/8/k7/8/8/7K w - - 3 0");
  EXPECT_EQ(PositionToFen(), "8/8/8/8/k7/8/8/7K w - - 3 1");

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
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1000000",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQQBNR w kq - 0 1",   // no white king
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w kq - 0 1",   // two white kings
      "rnbqkbnP/pppppppp/8/8/8/8/PPPPPPP1/RNBQKBNR w KQq - 0 1",  // pawn on the last rank
      "QQQQkQQQ/QQQQQQQQ/8/8/8/8/8/4K3 w - - 0 1",                // more than promotions give
      "4k2R/8/8/8/8/8/8/4K3 w - - 0 1",                           // side not to move in check
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq",       // too few fields
  };
  for (const char* fen : bad) {
    std::string error;
    EXPECT_TRUE(!SetPositionFromFen(fen, error) && !error.empty() && SamePosition(pos, before))
        << fen << ": " << error;
  }
}
