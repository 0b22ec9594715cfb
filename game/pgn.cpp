// Portable Game Notation.
#include "game/pgn.h"

std::string PgnResult(const PgnGame& game) {
  switch (game.verdict) {
    case CHECKMATE:
      return game.finalSide == WHITE ? "0-1" : "1-0";
    case STALEMATE:
    case DRAW_BY_FIFTY_MOVES:
    case DRAW_BY_REPETITION:
      return "1/2-1/2";
    default:
      return "*";
  }
}

std::string PgnEnding(const PgnGame& game) {
  switch (game.verdict) {
    case CHECKMATE:
      return game.finalSide == WHITE ? "Black mates" : "White mates";
    case STALEMATE:
      return "Stalemate";
    case DRAW_BY_FIFTY_MOVES:
      return "Draw by the fifty-move rule";
    case DRAW_BY_REPETITION:
      return "Draw by threefold repetition";
    default:
      return "Unfinished: stopped after " + std::to_string(game.moves.size()) + " plies";
  }
}

std::string FormatPgn(const PgnGame& game) {
  std::string result = PgnResult(game);
  std::string text;
  auto tag = [&text](const char* name, const std::string& value) {
    text += std::string("[") + name + " \"" + value + "\"]\n";
  };
  tag("Event", "chess self-play");
  tag("Site", "?");
  tag("Date", "????.??.??");
  tag("Round", "?");
  tag("White", "chess");
  tag("Black", "chess");
  tag("Result", result);
  if (!game.startFen.empty()) {
    tag("SetUp", "1");
    tag("FEN", game.startFen);
  }
  text += '\n';

  // Our rules judge the fifty-move draw before the mate, so a move that mates as the halfmove
  // clock reaches the limit draws. Readers judge the mate first and would take its "#" for the
  // game's end: it is written as the check it also is, and the comment says why.
  std::vector<std::string> moves = game.moves;
  bool mateOverruled =
      game.verdict == DRAW_BY_FIFTY_MOVES && !moves.empty() && moves.back().ends_with('#');
  if (mateOverruled) moves.back().back() = '+';

  // The movetext as units that no line break splits (a move number stays with its move), then
  // filled into lines.
  std::vector<std::string> tokens;
  int number = game.firstMoveNumber, side = game.firstSide;
  for (std::size_t i = 0; i < moves.size(); ++i) {
    if (side == WHITE)
      tokens.push_back(std::to_string(number) + ". " + moves[i]);
    else if (i == 0)
      tokens.push_back(std::to_string(number) + "... " + moves[i]);
    else
      tokens.push_back(moves[i]);
    if (side == BLACK) ++number;
    side ^= BLACK;
  }
  tokens.push_back("{" + PgnEnding(game) + (mateOverruled ? ", judged before the mate}" : "}"));
  tokens.push_back(result);
  std::string line;
  for (const std::string& token : tokens) {
    if (!line.empty() && line.size() + 1 + token.size() > PGN_LINE_LIMIT) {
      text += line + '\n';
      line.clear();
    }
    line += (line.empty() ? "" : " ") + token;
  }
  return text + line + "\n\n";
}
