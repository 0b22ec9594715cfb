// The search's shortcuts: what it asks about a move or a position without making any move. Each
// answers exactly as making the move (MakeMove and the check test) would, or errs only on the
// side of "make it and see".
#pragma once

#include <cstdint>

#include "engine/position.h"

// Returns true when a piece of `colour` other than the king has a move that cannot expose its
// king: enough to show that a side that is not in check has a legal move, without making one.
bool HasUnpinnedMove(int colour);

// What a move does that is neither castling, en passant nor a promotion, in a position whose side
// to move is not in check, found without making it: whether it is legal, whether it gives check,
// and, when askMobility is set, whether the opponent surely keeps a legal move.
enum MoveKind { MOVE_ILLEGAL, MOVE_CHECKING, MOVE_QUIET, MOVE_QUIET_OPPONENT_MOBILE };
MoveKind ClassifyMove(Move move, bool askMobility);

// What attacks the king of the side to move, for telling at a glance which moves cannot get it
// out of check.
struct Checkers {
  int count;   // pieces that could capture the king
  int square;  // the square of one of them
  int step;    // the line step from the king toward it, or 0 when it attacks by a jump or step
  bool quirk;  // attacked by the enemy's castling rights alone: nothing can be ruled out
};
void FindCheckers(Checkers& checkers);

// Returns false when a move of the side to move, which is in check, surely leaves its king
// attacked: it is not a king move or en passant, and it neither captures the one checker nor
// blocks its line. True means MakeMove must decide.
bool MayEvade(const Checkers& checkers, Move move);

// For telling without making them which quiet moves (no capture, promotion, castling or en
// passant) of the side to move give check: the squares, as bits (SquareBit), from which each kind
// of piece would attack the enemy king, and the pieces whose moving off their line to the king
// uncovers an attack by a piece behind them.
struct CheckSquares {
  int king;  // the enemy king's square, or NO_SQUARE
  std::uint64_t pawn, knight, diagonal, straight, uncovering;
};
void FindCheckSquares(CheckSquares& checks);

// Returns true when a quiet move of the side to move gives check, judged by checks.
bool QuietMoveChecks(const CheckSquares& checks, Move move);
