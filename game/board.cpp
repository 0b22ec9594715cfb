// The board diagram.
#include "game/board.h"

#include "engine/position.h"
#include "game/console.h"

namespace {

// The character of each cell code; a space where the diagram shows something else.
constexpr char PIECE_CHARS[CODE_COUNT + 1] = " PNBRQK  pnbrqk ";

// The diagram covers rows 1 to 10 and all ten columns: the playing squares framed by border
// cells, on which the rank digits and file letters are written.
constexpr int FIRST_SHOWN = A8 - ROW_LENGTH - 1, LAST_SHOWN = H1 + ROW_LENGTH + 1;

}  // namespace

void PrintBoard() {
  for (int i = FIRST_SHOWN; i <= LAST_SHOWN; ++i) {
    int row = RowOf(i), column = ColumnOf(i);
    auto ch = static_cast<unsigned char>(PIECE_CHARS[pos.board[i]]);
    if (ch == ' ') {
      bool playingColumn = column >= ColumnOf(A1) && column <= ColumnOf(H1);
      if (row >= RowOf(A8) && row <= RowOf(A1)) {
        // Squares whose row and column add up to an even number are dark.
        if (playingColumn)
          ch = (row + column) % 2 ? LIGHT_SHADE : FULL_BLOCK;
        else
          ch = '1' + RankOf(i);
      } else if (playingColumn) {
        ch = 'a' + FileOf(i);
      }
    }
    ConsoleWriteByte(ch);
    if (column == ROW_LENGTH - 1) ConsoleWriteLine("");
  }
  ConsoleWriteLine("");
}
