// Positions and moves as text.
#include "engine/notation.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <vector>

#include "engine/attack.h"

namespace {

constexpr char PIECE_LETTERS[] = " pnbrqk";  // FEN letters by type; upper case for white
constexpr char CASTLING_LETTERS[] = "KQkq";  // FEN letters of CASTLINGS, in its order

// Returns the square named by text such as "e3", or NO_SQUARE.
int ParseSquare(const std::string& text) {
  if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8')
    return NO_SQUARE;
  return SquareAt(text[0] - 'a', text[1] - '1');
}

// Fills board from the placement field, or returns a description of the fault.
std::string ParsePlacement(const std::string& field, std::int32_t (&board)[BOARD_SIZE]) {
  std::fill(board, board + BOARD_SIZE, OFFBOARD);
  int rank = 7, file = 0;
  for (char c : field) {
    if (c == '/') {
      if (file != 8) return "rank " + std::to_string(rank + 1) + " does not have 8 squares";
      if (--rank < 0) return "more than 8 ranks";
      file = 0;
    } else if (c >= '1' && c <= '8') {
      for (int n = c - '0'; n > 0; --n, ++file)
        if (file < 8) board[SquareAt(file, rank)] = EMPTY;
      if (file > 8) return "rank " + std::to_string(rank + 1) + " has more than 8 squares";
    } else {
      const char* letter = std::strchr(PIECE_LETTERS + 1, c | 0x20);
      if (c == ' ' || letter == nullptr) return "unknown piece letter '" + std::string(1, c) + "'";
      if (file >= 8) return "rank " + std::to_string(rank + 1) + " has more than 8 squares";
      int colour = (c & 0x20) ? BLACK : WHITE;
      board[SquareAt(file++, rank)] = colour | static_cast<int>(letter - PIECE_LETTERS);
    }
  }
  if (rank != 0) return "fewer than 8 ranks";
  if (file != 8) return "rank 1 does not have 8 squares";
  return "";
}

// Checks that the pieces could stand in a game: one king a side, no pawn on the first or last
// rank, and no more pieces than promotions can give. The last keeps every side within the move
// list's bound.
std::string CheckPieces(const std::int32_t (&board)[BOARD_SIZE]) {
  static const char* NAMES[2] = {"white", "black"};
  for (int colour : {WHITE, BLACK}) {
    int count[8] = {};
    for (int i = A8; i <= H1; ++i)
      if (IsPieceOf(board[i], colour)) ++count[TypeOf(board[i])];
    std::string name = NAMES[ColourIndex(colour)];
    if (count[KING] != 1) return name + " must have exactly one king";
    int promoted = std::max(0, count[QUEEN] - 1) + std::max(0, count[ROOK] - 2) +
                   std::max(0, count[BISHOP] - 2) + std::max(0, count[KNIGHT] - 2);
    if (count[PAWN] + promoted > 8) return name + " has more pieces than promotions can give";
  }
  for (int file = 0; file < 8; ++file)
    for (int rank : {0, 7})
      if (TypeOf(board[SquareAt(file, rank)]) == PAWN)
        return "a pawn stands on the first or last rank";
  return "";
}

}  // namespace

bool SetPositionFromFen(const std::string& fen, std::string& error) {
  // Stores why the FEN is refused and returns false.
  auto refuse = [&error](std::string why) {
    error = std::move(why);
    return false;
  };
  std::istringstream in(fen);
  std::vector<std::string> fields;
  for (std::string f; in >> f;) fields.push_back(f);
  if (fields.size() < 4 || fields.size() > 6)
    return refuse("FEN needs 4 to 6 fields, got " + std::to_string(fields.size()));

  std::int32_t board[BOARD_SIZE];
  error = ParsePlacement(fields[0], board);
  if (error.empty()) error = CheckPieces(board);
  if (!error.empty()) return false;

  if (fields[1] != "w" && fields[1] != "b")
    return refuse("side to move must be 'w' or 'b', not '" + fields[1] + "'");
  int side = fields[1] == "w" ? WHITE : BLACK;

  int rights = 0;
  if (fields[2] != "-") {
    for (char c : fields[2]) {
      const char* letter = std::strchr(CASTLING_LETTERS, c);
      const Castling* castling = c && letter ? &CASTLINGS[letter - CASTLING_LETTERS] : nullptr;
      if (castling == nullptr || rights & castling->right)
        return refuse("bad castling field '" + fields[2] + "'");
      if (board[castling->kingFrom] != (castling->colour | KING) ||
          board[castling->rookFrom] != (castling->colour | ROOK))
        return refuse(std::string("castling right '") + c + "' without its king and rook at home");
      rights |= castling->right;
    }
  }

  int ep = NO_SQUARE;
  if (fields[3] != "-") {
    ep = ParseSquare(fields[3]);
    // The square a pawn of the side not to move has just passed over: empty, with that pawn in
    // front of it and its start square behind it empty.
    int passer = side ^ BLACK;
    bool rankOk = ep != NO_SQUARE && RowOf(ep) == RowOf(side == WHITE ? A6 : A3);
    if (!rankOk || board[ep] != EMPTY || board[ep + Forward(passer)] != (passer | PAWN) ||
        board[ep - Forward(passer)] != EMPTY)
      return refuse("bad en-passant square '" + fields[3] + "'");
  }

  int clock = 0;
  if (fields.size() >= 5 && !ParseNumber(fields[4], 0, 9999, clock))
    return refuse("bad halfmove clock '" + fields[4] + "'");
  int moveNumber = 1;
  if (fields.size() == 6 && !ParseNumber(fields[5], 0, MAX_FULLMOVE_NUMBER, moveNumber))
    return refuse("fullmove number must be a number from 0 to " +
                  std::to_string(MAX_FULLMOVE_NUMBER) + ", not '" + fields[5] + "'");
  // Many programs write 0 where they do not count moves; our count starts at 1.
  moveNumber = std::max(moveNumber, 1);

  Position saved = pos;
  SetUpPosition(board, side, rights, ep, clock, moveNumber);
  if (!InCheck(side ^ BLACK)) return true;
  pos = saved;
  return refuse("the side not to move is in check");
}

std::string PositionToFen() {
  std::string fen;
  for (int rank = 7; rank >= 0; --rank) {
    for (int file = 0; file < 8; ++file) {
      int code = pos.board[SquareAt(file, rank)];
      char letter = PIECE_LETTERS[TypeOf(code)];
      if (code != EMPTY)
        fen += ColourOf(code) == WHITE ? static_cast<char>(letter - 0x20) : letter;
      else if (!fen.empty() && fen.back() >= '1' && fen.back() <= '7')
        ++fen.back();  // one more empty square in the run
      else
        fen += '1';
    }
    if (rank) fen += '/';
  }
  fen += pos.side == WHITE ? " w " : " b ";
  std::string rights;
  for (int i = 0; i < CASTLING_COUNT; ++i)
    if (pos.castleRights & CASTLINGS[i].right) rights += CASTLING_LETTERS[i];
  fen += rights.empty() ? "-" : rights;
  return fen + " " + SquareName(pos.epSquare) + " " + std::to_string(pos.halfmoveClock) + " " +
         std::to_string(pos.fullmoveNumber);
}

std::string SquareName(int square) {
  if (square == NO_SQUARE) return "-";
  return {static_cast<char>('a' + FileOf(square)), static_cast<char>('1' + RankOf(square))};
}

std::string MoveToString(Move move) {
  if (move == NO_MOVE) return "0000";
  std::string text = SquareName(MoveFrom(move)) + SquareName(MoveTo(move));
  if (MoveFlags(move) & MF_PROMOTION) text += PIECE_LETTERS[MovePromotion(move) & TYPE_MASK];
  return text;
}

std::string Printable(const std::string& text, std::size_t limit) {
  static const char HEX[] = "0123456789ABCDEF";
  std::string shown;
  for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      shown += "\\\\";
    } else if (c >= ' ' && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      shown += "\\x";
      shown += HEX[c >> 4];
      shown += HEX[c & 0xF];
    }
  }
  if (text.size() > limit) shown += "...";
  return shown;
}
