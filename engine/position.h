// The one shared game state: the board, the side to move and the bookkeeping the rules need,
// together with the encodings of squares, pieces, castlings and moves that every other file uses.
#pragma once

#include <cstdint>

// The board is a 10x12 mailbox. Index = row * 10 + column; rows 0, 1, 10, 11 and columns 0 and 9
// are border cells, so a knight's jump or a king's step off the board always lands on a border
// cell instead of wrapping round.
//
//          col 0   1   2   3   4   5   6   7   8   9
//   row 0      .   .   .   .   .   .   .   .   .   .
//   row 1      .   .   .   .   .   .   .   .   .   .
//   row 2      .  a8  b8  c8  d8  e8  f8  g8  h8   .      21 .. 28
//   row 3      .  a7                          h7   .      31 .. 38
//   row 4      .  a6                          h6   .      41 .. 48
//   row 5      .  a5                          h5   .      51 .. 58
//   row 6      .  a4                          h4   .      61 .. 68
//   row 7      .  a3                          h3   .      71 .. 78
//   row 8      .  a2                          h2   .      81 .. 88
//   row 9      .  a1  b1  c1  d1  e1  f1  g1  h1   .      91 .. 98
//   row 10     .   .   .   .   .   .   .   .   .   .
//   row 11     .   .   .   .   .   .   .   .   .   .
enum Square : int {
  // clang-format off
  A8 = 21, B8, C8, D8, E8, F8, G8, H8,
  A7 = 31, B7, C7, D7, E7, F7, G7, H7,
  A6 = 41, B6, C6, D6, E6, F6, G6, H6,
  A5 = 51, B5, C5, D5, E5, F5, G5, H5,
  A4 = 61, B4, C4, D4, E4, F4, G4, H4,
  A3 = 71, B3, C3, D3, E3, F3, G3, H3,
  A2 = 81, B2, C2, D2, E2, F2, G2, H2,
  A1 = 91, B1, C1, D1, E1, F1, G1, H1,
  // clang-format on
};
constexpr int BOARD_SIZE = 120;
constexpr int NO_SQUARE = -1;
constexpr int ROW_LENGTH = 10;
constexpr int FILE_COUNT = 8, RANK_COUNT = 8;

// The cells the rules scan: rows 2 to 9 (ranks 8 to 1), border columns included.
constexpr int FIRST_CELL = A8 - 1, LAST_CELL = H1 + 1;

constexpr int RowOf(int cell) { return cell / ROW_LENGTH; }
constexpr int ColumnOf(int cell) { return cell % ROW_LENGTH; }
// Files and ranks count from 0: file 0 is a, rank 0 is the first rank.
constexpr int FileOf(int square) { return ColumnOf(square) - ColumnOf(A1); }
constexpr int RankOf(int square) { return RowOf(A1) - RowOf(square); }
constexpr int SquareAt(int file, int rank) { return A1 + file - ROW_LENGTH * rank; }

// Returns true for the 64 playing squares, false for border cells and anything off the array.
constexpr bool IsPlayingSquare(int cell) {
  return cell >= A8 && cell <= H1 && ColumnOf(cell) >= ColumnOf(A8) &&
         ColumnOf(cell) <= ColumnOf(H8);
}

// One step in each direction; white pawns move NORTH (toward lower indices).
constexpr int NORTH = -ROW_LENGTH, SOUTH = ROW_LENGTH, EAST = 1, WEST = -1;
constexpr int NORTH_WEST = NORTH + WEST, NORTH_EAST = NORTH + EAST;
constexpr int SOUTH_WEST = SOUTH + WEST, SOUTH_EAST = SOUTH + EAST;

// Returns true when a one-square step runs along a diagonal rather than a rank or file.
constexpr bool IsDiagonal(int step) {
  return step == NORTH_WEST || step == NORTH_EAST || step == SOUTH_WEST || step == SOUTH_EAST;
}

// A cell holds a piece code: the type in the low three bits, the colour in bit 3.
constexpr int EMPTY = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6;
constexpr int OFFBOARD = 7;
constexpr int WHITE = 0, BLACK = 8;
constexpr int TYPE_MASK = 7;
constexpr int COLOUR_MASK = 8;
constexpr int CODE_COUNT = (TYPE_MASK | COLOUR_MASK) + 1;  // rows of tables indexed by code

constexpr int TypeOf(int code) { return code & TYPE_MASK; }
constexpr int ColourOf(int code) { return code & COLOUR_MASK; }
// Returns 0 for WHITE and 1 for BLACK: the index of a colour's entry in the per-colour arrays.
constexpr int ColourIndex(int colour) { return colour >> 3; }
// Returns true when the code is a piece: empty and border cells are nobody's.
constexpr bool IsPiece(int code) { return code != EMPTY && code != OFFBOARD; }
constexpr bool IsPieceOf(int code, int colour) { return IsPiece(code) && ColourOf(code) == colour; }

// Returns a pawn's step forward: NORTH for white, SOUTH for black.
constexpr int Forward(int colour) { return colour == WHITE ? NORTH : SOUTH; }
// Returns the square just behind `square` as a pawn of `colour` sees it: the square a double step
// onto `square` passes over, and the pawn an en-passant capture onto `square` removes.
constexpr int Behind(int square, int colour) { return square - Forward(colour); }
// Returns true when a pawn of `colour` on `square` stands where it may still double-step.
constexpr bool OnPawnStartRank(int square, int colour) {
  return RowOf(square) == RowOf(colour == WHITE ? A2 : A7);
}
// Returns true when a pawn of `colour` arriving on `square` promotes.
constexpr bool OnLastRank(int square, int colour) {
  return RowOf(square) == RowOf(colour == WHITE ? A8 : A1);
}

// Material by piece type: pawn 1, knight 3, bishop 3, rook 5, queen 9, king 15 (the two kings
// cancel); empty and border cells 0.
inline constexpr std::int32_t PIECE_VALUE[8] = {0, 1, 3, 3, 5, 9, 15, 0};

// Returns a cell's material from white's point of view: positive for white, negative for black.
constexpr int SignedValue(int code) {
  return ColourOf(code) ? -PIECE_VALUE[TypeOf(code)] : PIECE_VALUE[TypeOf(code)];
}

// Castling rights, one bit each.
constexpr int WHITE_KING_SIDE = 1, WHITE_QUEEN_SIDE = 2, BLACK_KING_SIDE = 4, BLACK_QUEEN_SIDE = 8;
constexpr int ALL_CASTLE_RIGHTS = 15;

// The four castlings, in the order they are generated: king-side before queen-side. Everything
// else about castling derives from this table: the moves generated, the rights a move clears,
// the cells and squares MakeMove tests, the rook it moves and the letters of FEN.
struct Castling {
  int right;  // the castleRights bit that allows it
  int colour;
  int kingFrom, kingTo;
  int rookFrom, rookTo;
  int emptyCount;
  int empty[3];  // the cells between king and rook, which must be empty
  int safe[2];   // the squares the king crosses and lands on, which must not be attacked
};
constexpr int CASTLING_COUNT = 4;
inline constexpr Castling CASTLINGS[CASTLING_COUNT] = {
    {WHITE_KING_SIDE, WHITE, E1, G1, H1, F1, 2, {F1, G1}, {F1, G1}},
    {WHITE_QUEEN_SIDE, WHITE, E1, C1, A1, D1, 3, {B1, C1, D1}, {C1, D1}},
    {BLACK_KING_SIDE, BLACK, E8, G8, H8, F8, 2, {F8, G8}, {F8, G8}},
    {BLACK_QUEEN_SIDE, BLACK, E8, C8, A8, D8, 3, {B8, C8, D8}, {C8, D8}},
};

// Returns the castling whose king lands on kingTo, or nullptr.
constexpr const Castling* FindCastling(int kingTo) {
  for (const Castling& castling : CASTLINGS)
    if (castling.kingTo == kingTo) return &castling;
  return nullptr;
}

// A move is four bytes handled as one 32-bit value: from (lowest byte), to, promotion, flags.
// The value 0 is never a real move and means "no move".
using Move = std::uint32_t;
constexpr Move NO_MOVE = 0;

enum MoveFlag : int {
  MF_CAPTURE = 1,      // any capture, en passant included
  MF_CASTLE = 2,       // the king's move; the rook moves as a side effect
  MF_EN_PASSANT = 4,   // the captured pawn is not on the destination square
  MF_DOUBLE_PUSH = 8,  // pawn double step; sets the en-passant square
  MF_PAWN = 16,        // every pawn move
  MF_PROMOTION = 32,   // pawn move onto the last rank
};

constexpr Move EncodeMove(int from, int to, int promotion, int flags) {
  return static_cast<Move>(from) | static_cast<Move>(to) << 8 | static_cast<Move>(promotion) << 16 |
         static_cast<Move>(flags) << 24;
}
constexpr int MoveFrom(Move m) { return static_cast<int>(m & 0xFF); }
constexpr int MoveTo(Move m) { return static_cast<int>(m >> 8 & 0xFF); }
constexpr int MovePromotion(Move m) { return static_cast<int>(m >> 16 & 0xFF); }
constexpr int MoveFlags(Move m) { return static_cast<int>(m >> 24); }

// No side can ever have more pseudo-legal moves than this. A side has at most 16 pieces: the king
// (8 steps) and 15 others, of which at most 9 can be queens (the first and 8 promoted pawns, 27
// moves at most each); the rest are at most 2 rooks (14), 2 bishops (13) and 2 knights (8). A pawn
// that stays a pawn has at most 12 moves (three promoting targets times four pieces), fewer than a
// queen. Add 2 castling moves and 2 en-passant captures: 8 + 9*27 + 2*14 + 2*13 + 2*8 + 2 + 2 =
// 325.
constexpr int MAX_MOVES = 325;

struct MoveList {
  Move moves[MAX_MOVES];
  int count;
};

constexpr int MAX_HISTORY = 1200;

// The search path is cut at this many plies below the root: a node there is scored like a leaf.
// Only a line in which nearly every move escapes check while giving check gets this deep (each
// in-check node keeps the depth from falling), and such a line could otherwise go on for ever.
constexpr int MAX_PLY = 64;

// The strong keys of the latest positions, kept for repetition detection. Only positions since
// the last capture or pawn move can repeat, and the fifty-move limit ends the game, so 100 entries
// would do; the ring is larger so that a search that records its own moves above the game's last
// entry (at most MAX_PLY of them; only the plain reference search does) never overwrites one of
// the game's latest KEYS_KEPT.
constexpr int KEY_RING = 512;
constexpr int KEYS_KEPT = KEY_RING - MAX_PLY;

// The fields besides the board and the side to move that a move may change, as one record: the
// plain reference search saves and restores them whole (make and undo keep only what a move
// changes, see Undo in makemove.h).
struct MoveFields {
  std::int32_t epSquare;        // the square a double-stepping pawn passed over, or NO_SQUARE
  std::int32_t castleRights;    // WHITE_KING_SIDE | ... | BLACK_QUEEN_SIDE
  std::int32_t halfmoveClock;   // plies since the last capture or pawn move
  std::int32_t fullmoveNumber;  // the move number FEN shows: 1 at the start, on after black moves
  std::int32_t historyLength;   // moves made, at most MAX_HISTORY; the recorded ones are in history
  std::int32_t material;        // white's PIECE_VALUE sum minus black's
  std::uint32_t hash;           // ComputeHash() of the last recorded position
  std::uint64_t key;            // Zobrist key of board, side, castling rights and en-passant square
  std::int32_t plyCount;        // recorded moves since the position was set up; never capped
};

struct Position : MoveFields {
  std::int32_t board[BOARD_SIZE];
  std::int32_t side;                   // WHITE or BLACK
  std::uint32_t history[MAX_HISTORY];  // hash after each move, oldest first

  // Derived state, so that the hot paths need not rescan the board: SetUpPosition() computes it
  // (PutCell), and each move and undo keeps it in step with the board.
  std::int32_t kingSquare[2];        // by ColourIndex
  std::uint64_t pieces[CODE_COUNT];  // by piece code: a bit per square holding it, see SquareBit;
                                     // the rows of EMPTY and OFFBOARD stay empty
  std::uint64_t occupied[2];         // by ColourIndex: a bit per square holding a piece
  std::uint64_t keyRing[KEY_RING];   // key after move n stored at keyRing[(n - 1) % KEY_RING]
};

extern Position pos;
extern Move bestMove;

// Step offsets by piece type, each row ending at the first 0. The order is part of the rules:
// it decides the order of generated moves and so which of equally good moves is played.
inline constexpr std::int32_t DIRECTIONS[8][9] = {
    {0},  // empty
    {0},  // pawns move by their own rules
    {2 * NORTH + WEST, 2 * NORTH + EAST, NORTH + 2 * WEST, NORTH + 2 * EAST, SOUTH + 2 * WEST,
     SOUTH + 2 * EAST, 2 * SOUTH + WEST, 2 * SOUTH + EAST, 0},
    {NORTH_WEST, NORTH_EAST, SOUTH_WEST, SOUTH_EAST, 0},
    {NORTH, WEST, EAST, SOUTH, 0},
    {NORTH_WEST, NORTH, NORTH_EAST, WEST, EAST, SOUTH_WEST, SOUTH, SOUTH_EAST, 0},
    {NORTH_WEST, NORTH, NORTH_EAST, WEST, EAST, SOUTH_WEST, SOUTH, SOUTH_EAST, 0},
    {0},  // border
};

// A knight's eight jumps, in the order of its moves.
inline constexpr const std::int32_t (&KNIGHT_JUMPS)[9] = DIRECTIONS[KNIGHT];

// Whether a piece type moves any distance along its directions (bishop, rook, queen).
inline constexpr bool SLIDES[8] = {false, false, false, true, true, true, false, false};

// Returns true when a piece of this type slides along the one-square step `step`.
constexpr bool SlidesAlong(int type, int step) {
  return type == QUEEN || type == (IsDiagonal(step) ? BISHOP : ROOK);
}

// Playing squares numbered 0-63 row by row from a8, so that ascending bits are ascending squares.
// The conversions are tables: they sit on the hottest paths.
struct BitNumbering {
  std::int8_t bitOf[BOARD_SIZE] = {};
  std::int8_t squareOf[64] = {};
};
constexpr BitNumbering MakeBitNumbering() {
  BitNumbering n;
  for (int square = A8, bit = 0; square <= H1; ++square) {
    if (!IsPlayingSquare(square)) continue;
    n.squareOf[bit] = static_cast<std::int8_t>(square);
    n.bitOf[square] = static_cast<std::int8_t>(bit++);
  }
  return n;
}
inline constexpr BitNumbering BIT_NUMBERING = MakeBitNumbering();
constexpr int SquareBit(int square) { return BIT_NUMBERING.bitOf[square]; }
constexpr int BitSquare(int bit) { return BIT_NUMBERING.squareOf[bit]; }
constexpr std::uint64_t SquareMask(int square) { return 1ull << SquareBit(square); }

// The 32-bit fingerprint of a position: castleRights in bits 26-29, the low two bits of epSquare
// in bits 30-31 (NO_SQUARE sets both), and the XOR of cell * code over the scanned cells in the
// bits below. A cell index is at most 99 and a code at most 14, so the board part never exceeds
// 99 * 14 = 1386 and fills only the low eleven bits. The side to move is not part of it, so
// different positions can share it.
constexpr int HASH_CASTLE_SHIFT = 26;
constexpr int HASH_EP_SHIFT = 30;

// Sets up the starting position with white to move and an empty history.
void InitPosition();

// Stores the fingerprint of the current position in pos.hash.
void ComputeHash();

// Writes a code on a playing square, keeping the piece sets, occupancy and king squares in step
// with the board: the one routine through which a position is set up, and the reference for the
// few set operations of each kind that make and undo a move (which debug builds check against it
// after every move, see DerivedStateMatchesBoard).
void PutCell(int square, int code);

// Recomputes kingSquare, pieces, occupied and material from the board, writing each cell again
// through PutCell.
void ComputeBoardState();

// Returns true when the piece sets, the occupancy and the king squares agree with the board on
// `square` (and the king squares hold the kings): what debug builds check on every square a move
// or its undo changes. (The tests compare whole positions with ComputeBoardState's.)
bool SetsMatchBoardOn(int square);

// Sets pos up from a board and the fields of a FEN, with an empty history: computes all derived
// state (board state, hash, key) and starts the key ring afresh.
void SetUpPosition(const std::int32_t (&board)[BOARD_SIZE], int side, int castleRights,
                   int epSquare, int halfmoveClock, int fullmoveNumber);

// Returns the Zobrist key of the current position, computed from scratch.
std::uint64_t ComputeKey();
