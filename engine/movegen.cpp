// The pseudo-legal move generator.
#include "engine/movegen.h"

#include <cassert>
#include <initializer_list>

void AddMove(MoveList& list, int from, int to, int flags) {
  bool lastRank = pos.side == WHITE ? to < A8 + 9 : to > A1 - 1;
  if (flags & MF_PAWN && lastRank) {
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

// True when code is a piece of colour `colour` (empty and border cells are nobody's).
bool IsPieceOf(int code, int colour) {
  return code != EMPTY && code != OFFBOARD && ColourOf(code) == colour;
}

// A pawn's moves: the capture toward file a, toward file h, the step, then the double step.
void GeneratePawnMoves(MoveList& list, int from) {
  const int* b = pos.board;
  int enemy = pos.side ^ BLACK;
  int forward = pos.side == WHITE ? NORTH : SOUTH;
  bool onStartRank = pos.side == WHITE ? from >= A2 - 1 : from <= H7 + 2;
  int towardA = forward + WEST, towardH = forward + EAST;
  if (IsPieceOf(b[from + towardA], enemy))
    AddMove(list, from, from + towardA, MF_PAWN | MF_CAPTURE);
  if (IsPieceOf(b[from + towardH], enemy))
    AddMove(list, from, from + towardH, MF_PAWN | MF_CAPTURE);
  if (b[from + forward] != EMPTY) return;
  AddMove(list, from, from + forward, MF_PAWN);
  if (onStartRank && b[from + 2 * forward] == EMPTY)
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
        AddMove(list, from, to, 0);
        if (!SLIDES[type]) break;
        continue;
      }
      if (ColourOf(target) == enemy) AddMove(list, from, to, MF_CAPTURE);
      break;
    }
  }
}

}  // namespace

void GenerateMoves(MoveList& list) {
  list.count = 0;
  for (int i = A8; i <= H1 + 1; ++i) {
    int code = pos.board[i];
    // Empty and border cells pass this test for white, but their types move nowhere.
    if (ColourOf(code) != pos.side) continue;
    int type = TypeOf(code);
    if (type == PAWN)
      GeneratePawnMoves(list, i);
    else
      GeneratePieceMoves(list, i, type);
  }

  if (pos.side == WHITE) {
    if (pos.castleRights & WHITE_KING_SIDE) AddMove(list, E1, G1, MF_CASTLE);
    if (pos.castleRights & WHITE_QUEEN_SIDE) AddMove(list, E1, C1, MF_CASTLE);
  } else {
    if (pos.castleRights & BLACK_KING_SIDE) AddMove(list, E8, G8, MF_CASTLE);
    if (pos.castleRights & BLACK_QUEEN_SIDE) AddMove(list, E8, C8, MF_CASTLE);
  }

  int ep = pos.epSquare;
  if (ep < 0) return;
  // The capturing pawn stands beside the passed pawn: behind the en-passant square, toward
  // file a first, then toward file h.
  int own = pos.side | PAWN;
  int behind = pos.side == WHITE ? SOUTH : NORTH;
  int flags = MF_PAWN | MF_CAPTURE | MF_EN_PASSANT;
  if (pos.board[ep + behind + WEST] == own) AddMove(list, ep + behind + WEST, ep, flags);
  if (pos.board[ep + behind + EAST] == own) AddMove(list, ep + behind + EAST, ep, flags);
}
