// The rules of the game beyond single moves, each in one place: the fifty-move limit, the mate
// score, repetitions, whether a legal move exists, and the verdict on whether the game is over.
#pragma once

#include <cstdint>

#include "engine/check_record.h"
#include "engine/position.h"

// Scores lie in (-SCORE_INF, SCORE_INF); mates are scored near the ends, see MateScore.
constexpr int SCORE_INF = 10000;

// The fifty-move rule: the game is drawn once the halfmove clock reaches this many plies.
constexpr int FIFTY_MOVE_PLIES = 100;

// Returns true when the halfmove clock reaches the fifty-move limit within `plies` more
// reversible moves (0: it has reached it now).
inline bool FiftyMoveLimitWithin(int plies) {
  return pos.halfmoveClock + plies >= FIFTY_MOVE_PLIES;
}
inline bool FiftyMoveLimitReached() { return FiftyMoveLimitWithin(0); }

// Returns the score of the side to move when it is checkmated: historyLength - SCORE_INF. A mate
// nearer the start of the game scores further from zero, so the mated side prefers the longest
// defence and the mating side the quickest mate.
inline int MateScore() { return pos.historyLength - SCORE_INF; }

// Returns true when a score that a search of the current position gave foretells a mate: the
// mated node's historyLength is at most MAX_HISTORY, so mate scores lie at least
// SCORE_INF - MAX_HISTORY from zero, far beyond any material balance.
inline bool IsMateScore(int score) {
  return score <= MAX_HISTORY - SCORE_INF || score >= SCORE_INF - MAX_HISTORY;
}

// A position that has now occurred this many times draws the game.
constexpr int REPETITION_DRAW = 3;

// Returns how many of the positions reached since the last capture or pawn move are the current
// one: the same board, side to move, castling rights and en-passant square. The current position
// counts itself; the position reached by the capture or pawn move does not count.
int RepetitionCount();

// Returns the number of pieces of `colour`, whose king is not in check, other than the king, that
// are not among `excluded` (its pinned pieces, as a check record finds them, or more) and have an
// empty square or an enemy piece other than the king to go to, counting no further than
// `enough`. Each of them has a legal move.
int CountUnpinnedMovers(int colour, std::uint64_t excluded, int enough);

// Returns true when the side to move has a legal move; record is the position's.
bool HasLegalMove(CheckRecord& record);

// Fills list with the legal moves of the side to move in generation order: the generated moves
// that IsLegal allows.
void ListLegalMoves(MoveList& list);

// Whether the game is over in the current position, and why. The draws come first: a move that
// brings the clock to the limit or repeats a position for the third time draws, whatever follows.
enum Verdict {
  PLAY_ON,
  CHECKMATE,
  STALEMATE,
  DRAW_BY_FIFTY_MOVES,
  DRAW_BY_REPETITION,
};
Verdict GameVerdict();
