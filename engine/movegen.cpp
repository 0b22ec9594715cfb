// The pseudo-legal move generator.
#include "engine/movegen.h"

#include <bit>
#include <cassert>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/geometry.h"

void AddMove(MoveList& list, int from, int to, int flags) {
  if (flags & MF_PAWN && OnLastRank(to, pos.side)) {
    for (int piece : {KNIGHT, BISHOP, ROOK, QUEEN}) {
      assert(list.count < MAX_MOVES);
      list.moves[list.count++] = EncodeMove(from, to, piece, flags | MF_PROMOTION);
    }
    return;
  }
  assert(list.count < MAX_MOVES);
  list.moves[list.count++] = EncodeMove(from, to, 0, flags);
}

namespace {

// Appends a move that cannot be a promotion: any move of a piece other than a pawn.
inline void AddPieceMove(MoveList& list, int from, int to, int flags) {
  assert(list.count < MAX_MOVES);
  list.moves[list.count++] = EncodeMove(from, to, 0, flags);
}

// A pawn's moves: the capture toward file a, toward file h, the step, then the double step.
void GeneratePawnMoves(MoveList& list, int from) {
  const int* b = pos.board;
  int enemy = pos.side ^ BLACK;
  int forward = Forward(pos.side);
  int towardA = forward + WEST, towardH = forward + EAST;
  if (IsPieceOf(b[from + towardA], enemy))
    AddMove(list, from, from + towardA, MF_PAWN | MF_CAPTURE);
  if (IsPieceOf(b[from + towardH], enemy))
    AddMove(list, from, from + towardH, MF_PAWN | MF_CAPTURE);
  if (b[from + forward] != EMPTY) return;
  AddMove(list, from, from + forward, MF_PAWN);
  if (OnPawnStartRank(from, pos.side) && b[from + 2 * forward] == EMPTY)
    AddMove(list, from, from + 2 * forward, MF_PAWN | MF_DOUBLE_PUSH);
}

// A piece's moves: along each direction in table order, one step or, for sliders, outward until
// the first occupied cell, which is included when it holds an enemy piece (a king included).
void GeneratePieceMoves(MoveList& list, int from, int type) {
  int enemy = pos.side ^ BLACK;
  for (const int* d = DIRECTIONS[type]; *d != 0; ++d) {
    for (int to = from + *d;; to += *d) {
      int target = pos.board[to];
      if (target == OFFBOARD) break;
      if (target == EMPTY) {
        AddPieceMove(list, from, to, 0);
        if (!SLIDES[type]) break;
        continue;
      }
      if (ColourOf(target) == enemy) AddPieceMove(list, from, to, MF_CAPTURE);
      break;
    }
  }
}

// Adds the en-passant captures: the capturing pawn stands beside the passed pawn, behind the
// en-passant square, toward file a first, then toward file h.
void GenerateEnPassant(MoveList& list) {
  int ep = pos.epSquare;
  if (ep < 0) return;
  int own = pos.side | PAWN;
  int behind = -Forward(pos.side);
  int flags = MF_PAWN | MF_CAPTURE | MF_EN_PASSANT;
  if (pos.board[ep + behind + WEST] == own) AddMove(list, ep + behind + WEST, ep, flags);
  if (pos.board[ep + behind + EAST] == own) AddMove(list, ep + behind + EAST, ep, flags);
}

// Adds castling from the rights alone, in the table's order: king-side before queen-side.
void GenerateCastling(MoveList& list) {
  for (const Castling& castling : CASTLINGS)
    if (castling.colour == pos.side && pos.castleRights & castling.right)
      AddPieceMove(list, castling.kingFrom, castling.kingTo, MF_CASTLE);
}

// Returns false when no quiet move of the piece of this type on `from` can give check: it
// uncovers no attack and reaches no checking square for its kind on an empty board.
bool MayCheckFrom(const CheckSquares& checks, int from, int type) {
  if (checks.king == NO_SQUARE) return false;
  if (checks.uncovering & SquareMask(from)) return true;
  std::uint64_t reach = type == PAWN     ? REACH.ray[from][LineIndex(Forward(pos.side))]
                        : type == KNIGHT ? REACH.knight[from]
                                         : (type == ROOK ? 0 : REACH.diagonal[from]) |
                                               (type == BISHOP ? 0 : REACH.straight[from]);
  return checks.byType[type] & reach;
}

// Adds the quiet moves (no capture or promotion) of the side to move, castling last; with checks,
// only those that give check, and castling, looking only at the pieces that could give one.
void GenerateQuietMovesOf(MoveList& list, const CheckSquares* checks) {
  list.count = 0;
  const int* b = pos.board;
  int forward = Forward(pos.side);
  for (std::uint64_t own = pos.occupied[ColourIndex(pos.side)]; own != 0; own &= own - 1) {
    int from = BitSquare(std::countr_zero(own));
    int type = TypeOf(b[from]);
    int first = list.count;
    if (checks && !MayCheckFrom(*checks, from, type)) continue;
    if (type == PAWN) {
      int to = from + forward;
      if (b[to] != EMPTY || OnLastRank(to, pos.side)) continue;
      AddPieceMove(list, from, to, MF_PAWN);
      if (OnPawnStartRank(from, pos.side) && b[to + forward] == EMPTY)
        AddPieceMove(list, from, to + forward, MF_PAWN | MF_DOUBLE_PUSH);
    } else {
      for (const int* d = DIRECTIONS[type]; *d != 0; ++d)
        for (int to = from + *d; b[to] == EMPTY; to += *d) {
          AddPieceMove(list, from, to, 0);
          if (!SLIDES[type]) break;
        }
    }
    if (!checks) continue;
    int kept = first;
    for (int i = first; i < list.count; ++i)
      if (MoveGivesCheck(*checks, list.moves[i])) list.moves[kept++] = list.moves[i];
    list.count = kept;
  }
  GenerateCastling(list);
}

}  // namespace

void GenerateMoves(MoveList& list) {
  list.count = 0;
  // The mover's pieces by ascending square: the occupancy bits run in square order.
  for (std::uint64_t own = pos.occupied[ColourIndex(pos.side)]; own != 0; own &= own - 1) {
    int i = BitSquare(std::countr_zero(own));
    int type = TypeOf(pos.board[i]);
    if (type == PAWN)
      GeneratePawnMoves(list, i);
    else
      GeneratePieceMoves(list, i, type);
  }

  GenerateCastling(list);
  GenerateEnPassant(list);
}

void GenerateQuietMoves(MoveList& list) { GenerateQuietMovesOf(list, nullptr); }

void GenerateQuietChecks(MoveList& list, const CheckSquares& checks) {
  GenerateQuietMovesOf(list, &checks);
}

void GenerateCaptures(MoveList& list) {
  list.count = 0;
  const int* b = pos.board;
  int enemy = pos.side ^ BLACK;
  std::uint64_t enemies = pos.occupied[ColourIndex(enemy)];
  std::uint64_t everyone = enemies | pos.occupied[ColourIndex(pos.side)];
  // All pawns at once: shifting their bits one step forward and one file across gives the
  // squares they capture on.
  std::uint64_t pawns = pos.pieces[pos.side | PAWN];
  bool white = pos.side == WHITE;
  std::uint64_t hitsA =
      (white ? ShiftBits(pawns, NORTH_WEST) : ShiftBits(pawns, SOUTH_WEST)) & enemies;
  std::uint64_t hitsH =
      (white ? ShiftBits(pawns, NORTH_EAST) : ShiftBits(pawns, SOUTH_EAST)) & enemies;
  for (; hitsA; hitsA &= hitsA - 1) {
    int to = BitSquare(std::countr_zero(hitsA));
    AddMove(list, to - (Forward(pos.side) + WEST), to, MF_PAWN | MF_CAPTURE);
  }
  for (; hitsH; hitsH &= hitsH - 1) {
    int to = BitSquare(std::countr_zero(hitsH));
    AddMove(list, to - (Forward(pos.side) + EAST), to, MF_PAWN | MF_CAPTURE);
  }
  // Promoting steps: pawns one rank from the last, with the square ahead empty.
  std::uint64_t steps = (white ? ShiftBits(pawns & RankBits(RankOf(A7)), NORTH)
                               : ShiftBits(pawns & RankBits(RankOf(A2)), SOUTH)) &
                        ~everyone;
  for (; steps; steps &= steps - 1) {
    int to = BitSquare(std::countr_zero(steps));
    AddMove(list, to - Forward(pos.side), to, MF_PAWN);
  }
  for (std::uint64_t own = pos.occupied[ColourIndex(pos.side)] & ~pawns; own != 0; own &= own - 1) {
    int from = BitSquare(std::countr_zero(own));
    int type = TypeOf(b[from]);
    // The masks skip the steps on which no enemy piece stands and find the first piece on each
    // line without walking to it.
    if (type == KNIGHT || type == KING) {
      if (!((type == KNIGHT ? REACH.knight[from] : REACH.king[from]) & enemies)) continue;
      for (const int* d = DIRECTIONS[type]; *d != 0; ++d)
        if (IsPieceOf(b[from + *d], enemy)) AddPieceMove(list, from, from + *d, MF_CAPTURE);
      continue;
    }
    std::uint64_t lines =
        (type == ROOK ? 0 : REACH.diagonal[from]) | (type == BISHOP ? 0 : REACH.straight[from]);
    if (!(lines & enemies)) continue;
    for (int line = 0; line < LINE_COUNT; ++line) {
      if (!SlidesAlong(type, LINES[line]) || !(REACH.ray[from][line] & enemies)) continue;
      int to = FirstOnLine(from, line, everyone);
      if (ColourOf(b[to]) == enemy) AddPieceMove(list, from, to, MF_CAPTURE);
    }
  }
  GenerateEnPassant(list);
}
