// The shared position, its constant tables and the routines that set it up and fingerprint it.
#include "engine/position.h"

#include <algorithm>
#include <initializer_list>

#include "engine/zobrist.h"

Position pos;
Move bestMove = NO_MOVE;

// clang-format off
const std::int32_t START_BOARD[BOARD_SIZE] = {
  7,  7,  7,  7,  7,  7,  7,  7,  7, 7,
  7,  7,  7,  7,  7,  7,  7,  7,  7, 7,
  7, 12, 10, 11, 13, 14, 11, 10, 12, 7,
  7,  9,  9,  9,  9,  9,  9,  9,  9, 7,
  7,  0,  0,  0,  0,  0,  0,  0,  0, 7,
  7,  0,  0,  0,  0,  0,  0,  0,  0, 7,
  7,  0,  0,  0,  0,  0,  0,  0,  0, 7,
  7,  0,  0,  0,  0,  0,  0,  0,  0, 7,
  7,  1,  1,  1,  1,  1,  1,  1,  1, 7,
  7,  4,  2,  3,  5,  6,  3,  2,  4, 7,
  7,  7,  7,  7,  7,  7,  7,  7,  7, 7,
  7,  7,  7,  7,  7,  7,  7,  7,  7, 7,
};
// clang-format on

void InitPosition() { SetUpPosition(START_BOARD, WHITE, ALL_CASTLE_RIGHTS, NO_SQUARE, 0, 1); }

void ComputeHash() {
  std::uint32_t h = static_cast<std::uint32_t>(pos.epSquare) << HASH_EP_SHIFT |
                    static_cast<std::uint32_t>(pos.castleRights) << HASH_CASTLE_SHIFT;
  for (int i = FIRST_CELL; i <= LAST_CELL; ++i) h ^= static_cast<std::uint32_t>(i * pos.board[i]);
  pos.hash = h;
}

std::uint64_t ComputeKey() {
  std::uint64_t k = pos.side == BLACK ? ZOBRIST.black : 0;
  for (int i = A8; i <= H1; ++i) k ^= ZOBRIST.piece[pos.board[i]][i];
  k ^= ZOBRIST.castle[pos.castleRights];
  if (pos.epSquare != NO_SQUARE) k ^= ZOBRIST.ep[pos.epSquare];
  return k;
}

void PutCell(int square, int code) {
  std::uint64_t bit = SquareMask(square);
  int old = pos.board[square];
  if (old != EMPTY) {
    pos.pieces[old] ^= bit;
    pos.occupied[ColourIndex(ColourOf(old))] ^= bit;
  }
  if (code != EMPTY) {
    pos.pieces[code] ^= bit;
    pos.occupied[ColourIndex(ColourOf(code))] ^= bit;
  }
  if (TypeOf(code) == KING) pos.kingSquare[ColourIndex(ColourOf(code))] = square;
  pos.board[square] = code;
}

void ComputeBoardState() {
  pos.kingSquare[0] = pos.kingSquare[1] = NO_SQUARE;
  for (std::uint64_t& set : pos.pieces) set = 0;
  pos.occupied[0] = pos.occupied[1] = 0;
  pos.material = 0;
  // Each square is written again from an empty one. From the bottom up, so that a (set-up) board
  // with two kings of a colour keeps the first one from the top, as a scan of the board finds it.
  for (int square = H1; square >= A8; --square) {
    if (!IsPlayingSquare(square)) continue;
    int code = pos.board[square];
    pos.board[square] = EMPTY;
    PutCell(square, code);
    pos.material += SignedValue(code);
  }
}

void SetUpPosition(const std::int32_t (&board)[BOARD_SIZE], int side, int castleRights,
                   int epSquare, int halfmoveClock, int fullmoveNumber) {
  std::copy(board, board + BOARD_SIZE, pos.board);
  pos.side = side;
  pos.castleRights = castleRights;
  pos.epSquare = epSquare;
  pos.halfmoveClock = halfmoveClock;
  pos.fullmoveNumber = fullmoveNumber;
  pos.historyLength = 0;
  ComputeBoardState();
  ComputeHash();
  pos.key = ComputeKey();
  pos.plyCount = 0;
}

bool SetsMatchBoardOn(int square) {
  int code = pos.board[square];
  std::uint64_t bit = SquareMask(square);
  for (int c = 0; c < CODE_COUNT; ++c)
    if (((pos.pieces[c] & bit) != 0) != (c == code && code != EMPTY)) return false;
  for (int colour : {WHITE, BLACK}) {
    if (((pos.occupied[ColourIndex(colour)] & bit) != 0) != IsPieceOf(code, colour)) return false;
    int king = pos.kingSquare[ColourIndex(colour)];
    if (king != NO_SQUARE && pos.board[king] != (colour | KING)) return false;
  }
  return TypeOf(code) != KING || pos.kingSquare[ColourIndex(ColourOf(code))] == square;
}
