// The pseudo-legal move generator.
#include "engine/movegen.h"

#include <cassert>
#include <initializer_list>

#include "engine/geometry.h"

namespace {

// Appends one move, or the four promotions (knight, bishop, rook, queen) of a pawn move onto
// the last rank.
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
