// The shared position, its constant tables and the routines that set it up and fingerprint it.
#include "engine/position.h"

#include "engine/evaluate.h"
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

void InitPosition() {
  for (int i = 0; i < BOARD_SIZE; ++i) pos.board[i] = START_BOARD[i];
  pos.side = WHITE;
  pos.epSquare = NO_SQUARE;
  pos.castleRights = ALL_CASTLE_RIGHTS;
  pos.halfmoveClock = 0;
  pos.historyLength = 0;
  SetUpDerived();
}

void ComputeHash() {
  // Only the low two bits of epSquare survive the shift; NO_SQUARE sets both top bits.
  std::uint32_t h = static_cast<std::uint32_t>(pos.epSquare) << 30 |
                    static_cast<std::uint32_t>(pos.castleRights) << 26;
  for (int i = 20; i <= 99; ++i) h ^= static_cast<std::uint32_t>(i * pos.board[i]);
  pos.hash = h;
}

std::uint64_t ComputeKey() {
  std::uint64_t k = pos.side == BLACK ? ZOBRIST.black : 0;
  for (int i = A8; i <= H1; ++i) k ^= ZOBRIST.piece[pos.board[i] & 15][i];
  k ^= ZOBRIST.castle[pos.castleRights & 15];
  if (pos.epSquare >= 0) k ^= ZOBRIST.ep[pos.epSquare];
  return k;
}

void SetUpDerived() {
  pos.kingSquare[0] = pos.kingSquare[1] = NO_SQUARE;
  pos.occupied[0] = pos.occupied[1] = pos.pawns[0] = pos.pawns[1] = 0;
  pos.material = 0;
  // InCheck looks for the first king from the top, so a (set-up) board with two kings of a
  // colour keeps the first one here too.
  for (int i = 99; i >= 20; --i) {
    int c = pos.board[i];
    if (TypeOf(c) == KING) pos.kingSquare[KingIndex(ColourOf(c))] = i;
    if (c != EMPTY && c != OFFBOARD) pos.occupied[KingIndex(ColourOf(c))] |= 1ull << SquareBit(i);
    if (TypeOf(c) == PAWN) pos.pawns[KingIndex(ColourOf(c))] |= 1ull << SquareBit(i);
    pos.material += SignedValue(c);
  }
  ComputeHash();
  pos.key = ComputeKey();
  pos.plyCount = 0;
}
