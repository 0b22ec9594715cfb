// The board diagram.
#include "game/board.h"

#include "engine/position.h"
#include "game/console.h"

namespace {

// The character of each cell code & 15; a space where the diagram shows something else.
constexpr char PIECE_CHARS[17] = " PNBRQK  pnbrqk ";

// Code page 437 shading bytes for empty light and dark squares.
constexpr unsigned char LIGHT_SHADE = 0xB0;
constexpr unsigned char FULL_BLOCK = 0xDB;

}  // namespace

void PrintBoard() {
  // Rows 1 to 10 and all ten columns: the playing squares framed by the border cells, on which
  // the rank digits and file letters are written.
  for (int i = 10; i <= 109; ++i) {
    int row = i / 10, column = i % 10;
    auto ch = static_cast<unsigned char>(PIECE_CHARS[pos.board[i] & 15]);
    if (ch == ' ') {
      bool playing = column >= 1 && column <= 8;
      if (row >= 2 && row <= 9) {
        ch = playing ? ((row + column) % 2 ? LIGHT_SHADE : FULL_BLOCK) : '0' + (10 - row);
      } else if (playing) {
        ch = 0x60 + column;
      }
    }
    ConsoleWriteByte(ch);
    if (column == 9) ConsoleWriteLine("");
  }
  ConsoleWriteLine("");
}
