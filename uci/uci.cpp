// The Universal Chess Interface.
#include "uci/uci.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <istream>
#include <ostream>
#include <vector>

#include "engine/makemove.h"
#include "engine/notation.h"
#include "engine/rules.h"
#include "engine/san.h"

namespace {

constexpr std::size_t ECHO_LIMIT = 200;  // bytes of the user's text that an info string repeats

// Writes one line and flushes it: the GUI is waiting for it.
void Say(std::ostream& out, const std::string& line) { out << line << '\n' << std::flush; }

// Returns the user's text fit to repeat: no control byte reaches the GUI, and at most
// ECHO_LIMIT bytes of it.
std::string Echo(const std::string& text) { return Printable(text, ECHO_LIMIT); }

// Tells the GUI something in an info string, the one kind of free text UCI allows.
void Report(std::ostream& out, const std::string& message) { Say(out, "info string " + message); }

// Splits a command line into words at any run of blanks (space, tab, CR and the like).
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// Parses a whole decimal number from low to high into value; returns false for anything else.
bool ParseNumber(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 9) return false;
  int parsed = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    parsed = parsed * 10 + (c - '0');
  }
  if (parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

// Returns the words from first up to (not including) the word stop, or to the end, joined.
std::string JoinWords(const std::vector<std::string>& words, std::size_t first,
                      const std::string& stop) {
  std::string joined;
  for (std::size_t i = first; i < words.size() && words[i] != stop; ++i)
    joined += (joined.empty() ? "" : " ") + words[i];
  return joined;
}

// Answers "uci": who we are, the one option, and that we are ready for the rest.
void Identify(std::ostream& out) {
  Say(out, "id name chess");
  Say(out, "id author the chess developers");
  Say(out, "option name Depth type spin default " + std::to_string(ROOT_DEPTH) + " min " +
               std::to_string(UCI_MIN_DEPTH) + " max " + std::to_string(UCI_MAX_DEPTH));
  Say(out, "uciok");
}

// Carries out "setoption name <name> value <value>"; Depth is the one option.
void SetOption(UciSession& session, const std::vector<std::string>& words, std::ostream& out) {
  auto valueAt = std::find(words.begin(), words.end(), "value");
  std::string name = words.size() > 1 && words[1] == "name" ? JoinWords(words, 2, "value") : "";
  std::string value =
      valueAt == words.end() ? "" : JoinWords(words, valueAt - words.begin() + 1, "");
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c);
  if (lower != "depth") {
    Report(out, "unknown option: " + Echo(name));
  } else if (!ParseNumber(value, UCI_MIN_DEPTH, UCI_MAX_DEPTH, session.depth)) {
    Report(out, "Depth must be a number from " + std::to_string(UCI_MIN_DEPTH) + " to " +
                    std::to_string(UCI_MAX_DEPTH) + ", not '" + Echo(value) + "'; it stays " +
                    std::to_string(session.depth));
  }
}

// Carries out "position startpos|fen <FEN> [moves ...]". A bad FEN leaves the position as it
// was; the moves are made one by one, as in a game, so that the history behind repetitions and
// the fifty-move rule is the game's, up to the first that is not legal.
void SetUpPosition(const std::vector<std::string>& words, std::ostream& out) {
  std::size_t next;
  if (words.size() > 1 && words[1] == "startpos") {
    InitPosition();
    next = 2;
  } else if (words.size() > 1 && words[1] == "fen") {
    std::string fen = JoinWords(words, 2, "moves"), error;
    if (!SetPositionFromFen(fen, error)) {
      Report(out, "bad FEN '" + Echo(fen) + "': " + error + "; the position is unchanged");
      return;
    }
    next = std::find(words.begin(), words.end(), "moves") - words.begin();
  } else {
    Report(out, "position needs startpos or fen: " + Echo(JoinWords(words, 0, "")));
    return;
  }
  if (next == words.size()) return;
  if (words[next] != "moves") {
    Report(out, "expected moves, not '" + Echo(words[next]) + "'; no moves made");
    return;
  }
  for (std::size_t i = next + 1; i < words.size(); ++i) {
    std::string error;
    Move move = ParseMove(words[i], error);
    if (move == NO_MOVE) {
      Report(out, "bad move '" + Echo(words[i]) + "' (" + error + "); stopped after " +
                      std::to_string(i - next - 1) + " moves at " + PositionToFen());
      return;
    }
    MakeMove(move);
  }
}

// Returns a root score in UCI terms: "cp" in hundredths of a pawn, or "mate" in moves, negative
// when the side to move is being mated (0 when it is mated now).
std::string ScoreText(int score) {
  if (!IsMateScore(score)) return "cp " + std::to_string(score * 100);
  int plies = MatePlies(score);
  int moves = score > 0 ? std::max(1, (plies + 1) / 2) : -(plies / 2);
  return "mate " + std::to_string(moves);
}

// Carries out "go": searches the fixed depth (the Depth option, or "depth N"), whatever the
// clocks say, and answers at once with one info line and the best move.
void Go(const UciSession& session, const std::vector<std::string>& words, std::ostream& out) {
  static const std::vector<std::string> WITH_NUMBER = {"wtime",     "btime",    "winc",  "binc",
                                                       "movestogo", "movetime", "nodes", "mate"};
  int depth = session.depth;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "depth") {
      std::string given = i + 1 < words.size() ? words[++i] : "";
      if (!ParseNumber(given, UCI_MIN_DEPTH, UCI_MAX_DEPTH, depth))
        Report(out, "depth must be a number from " + std::to_string(UCI_MIN_DEPTH) + " to " +
                        std::to_string(UCI_MAX_DEPTH) + ", not '" + Echo(given) +
                        "'; searching depth " + std::to_string(depth));
    } else if (std::find(WITH_NUMBER.begin(), WITH_NUMBER.end(), word) != WITH_NUMBER.end()) {
      ++i;  // clocks and limits: the engine searches its fixed depth regardless
    } else if (word == "searchmoves") {
      Report(out, "searchmoves is not supported; searching every move");
      break;
    } else if (word != "infinite" && word != "ponder") {
      Report(out, "unknown go parameter: " + Echo(word));
    }
  }

  bestMove = NO_MOVE;
  searchNodes = 0;
  auto start = std::chrono::steady_clock::now();
  int score = Search(-SCORE_INF, SCORE_INF, depth);
  auto elapsed = std::chrono::steady_clock::now() - start;
  auto us = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
  unsigned long long nps =
      searchNodes * 1000000ull / static_cast<unsigned long long>(std::max<long long>(us, 1));
  std::string info = "info depth " + std::to_string(depth) + " score " + ScoreText(score) +
                     " nodes " + std::to_string(searchNodes) + " time " +
                     std::to_string(us / 1000) + " nps " + std::to_string(nps);
  if (bestMove != NO_MOVE) info += " pv " + MoveToString(bestMove);
  Say(out, info);
  Say(out, "bestmove " + MoveToString(bestMove));
}

}  // namespace

void StartUciSession(UciSession& session) {
  // A GUI checks our moves by the standard rules, which forbid castling across a square that an
  // enemy pawn covers; one such castling would forfeit the game.
  standardCastling = true;
  session = UciSession{};
  InitPosition();
  ClearSearchMemory();
}

bool ReadUciLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  bool any = false;
  for (int c; (c = buffer->sbumpc()) != std::char_traits<char>::eof();) {
    any = true;
    if (c == '\n') break;
    if (tooLong) continue;  // the rest of an over-long line is read and dropped
    line += static_cast<char>(c);
    if (line.size() > UCI_MAX_LINE + 1) {  // + 1: room for the CR of a CR LF end
      tooLong = true;
      line.clear();
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > UCI_MAX_LINE) {
    tooLong = true;
    line.clear();
  }
  if (!any) in.setstate(std::ios::eofbit);
  return any;
}

void RunUciCommand(UciSession& session, const std::string& line, std::ostream& out) {
  std::vector<std::string> words = SplitWords(line);
  if (words.empty()) return;
  const std::string& command = words[0];
  if (command == "uci") {
    Identify(out);
  } else if (command == "isready") {
    Say(out, "readyok");
  } else if (command == "ucinewgame") {
    ClearSearchMemory();
  } else if (command == "setoption") {
    SetOption(session, words, out);
  } else if (command == "position") {
    SetUpPosition(words, out);
  } else if (command == "go") {
    Go(session, words, out);
  } else if (command == "quit") {
    session.quit = true;
  } else if (command != "stop" && command != "ponderhit" && command != "debug" &&
             command != "register") {
    // stop and ponderhit: no search is ever running, since go answers at once.
    Report(out, "unknown command: " + Echo(line));
  }
}

int RunUci(std::istream& in, std::ostream& out) {
  UciSession session;
  StartUciSession(session);
  std::string line;
  bool tooLong = false;
  while (out && !session.quit && ReadUciLine(in, line, tooLong)) {
    if (tooLong)
      Report(out, "a line longer than " + std::to_string(UCI_MAX_LINE) + " bytes was ignored");
    else
      RunUciCommand(session, line, out);
  }
  return out ? 0 : 1;
}
