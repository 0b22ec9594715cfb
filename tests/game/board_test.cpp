// The board diagram's exact bytes.
#include "game/board.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "engine/position.h"

TEST(Board, StartingDiagramBytes) {
  InitPosition();
  int fd = CaptureConsole();
  PrintBoard();
  const std::string light = "\xB0\xDB\xB0\xDB\xB0\xDB\xB0\xDB",
                    dark = "\xDB\xB0\xDB\xB0\xDB\xB0\xDB\xB0";
  EXPECT_EQ(Captured(fd),
            " abcdefgh \r\n"
            "8rnbqkbnr8\r\n"
            "7pppppppp7\r\n"
            "6" +
                light +
                "6\r\n"
                "5" +
                dark +
                "5\r\n"
                "4" +
                light +
                "4\r\n"
                "3" +
                dark +
                "3\r\n"
                "2PPPPPPPP2\r\n"
                "1RNBQKBNR1\r\n"
                " abcdefgh \r\n"
                "\r\n");
  close(fd);

  // Only the board shows: an empty square is always shaded (a1 dark, h1 light), and the side to
  // move changes nothing.
  pos.board[A1] = EMPTY;
  pos.board[H1] = EMPTY;
  pos.side = BLACK;
  fd = CaptureConsole();
  PrintBoard();
  std::string diagram = Captured(fd);
  EXPECT_EQ(diagram.substr(8 * 12, 12),
            "1\xDBNBQKBN\xB0"
            "1\r\n");
  close(fd);
}
