// A game as PGN (Portable Game Notation), the text that chess software exchanges games in.
#pragma once

#include <string>
#include <vector>

#include "engine/position.h"
#include "engine/rules.h"

// PGN movetext lines are at most this long.
constexpr std::size_t PGN_LINE_LIMIT = 79;

struct PgnGame {
  std::string startFen;  // the FEN tag: empty when the game starts from the standard position
  int firstMoveNumber = 1;
  int firstSide = WHITE;
  std::vector<std::string> moves;  // in SAN
  Verdict verdict = PLAY_ON;       // on the final position; PLAY_ON for a game cut short
  int finalSide = WHITE;           // the side to move in the final position
};

// Returns the result token: "1-0", "0-1", "1/2-1/2", or "*" for a game that has not ended.
std::string PgnResult(const PgnGame& game);

// Returns why the game ended, in words, such as "White mates" or "Draw by threefold repetition";
// for a game that has not ended, that it was cut short.
std::string PgnEnding(const PgnGame& game);

// Returns the game as PGN: the seven-tag roster (both players named after the program, "?" where
// nothing is known), FEN and SetUp when the game does not start from the standard position, an
// empty line, the movetext with move numbers in lines of at most PGN_LINE_LIMIT characters, the
// ending as a comment, the result, and an empty line. A last move that mates but draws by the
// fifty-move rule is written with "+" instead of "#".
std::string FormatPgn(const PgnGame& game);
