// The Universal Chess Interface: the commands, the options, and the running search.
#include "uci/uci.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "engine/castling.h"
#include "engine/makemove.h"
#include "engine/notation.h"
#include "engine/san.h"
#include "uci/go.h"
#include "uci/input.h"
#include "uci/output.h"

namespace {

// Returns the words of a command line, as CommandOf finds the first.
std::vector<std::string> WordsOf(const std::string& line) {
  std::istringstream in(line);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Returns the words from first up to (not including) the word stop, or to the end, joined.
std::string JoinWords(const std::vector<std::string>& words, std::size_t first,
                      const std::string& stop) {
  std::string joined;
  for (std::size_t i = first; i < words.size() && words[i] != stop; ++i)
    joined += (joined.empty() ? "" : " ") + words[i];
  return joined;
}

// Returns text in lower case (ASCII letters only).
std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c);
  return text;
}

// What the protocol remembers between commands beyond the position itself.
struct Session {
  std::ostream& out;
  std::shared_ptr<InputQueue> input;
  int depth = ROOT_DEPTH;  // the Depth option: what a "go" without limits searches
  int moveOverhead = DEFAULT_MOVE_OVERHEAD;
  bool quit = false;  // set by "quit"
};

// Answers "uci": who we are, the options, and that we are ready for the rest.
void Identify(std::ostream& out) {
  Say(out, "id name chess");
  Say(out, "id author the chess developers");
  Say(out, "option name Depth type spin default " + std::to_string(ROOT_DEPTH) + " min " +
               std::to_string(UCI_MIN_DEPTH) + " max " + std::to_string(UCI_MAX_DEPTH));
  Say(out, "option name Move Overhead type spin default " + std::to_string(DEFAULT_MOVE_OVERHEAD) +
               " min 0 max " + std::to_string(MAX_MOVE_OVERHEAD));
  Say(out, "option name Ponder type check default false");
  Say(out, "uciok");
}

// Sets option to the number text, from low to high, or reports why not.
void SetSpin(const std::string& name, const std::string& text, int low, int high, int& option,
             std::ostream& out) {
  long long value = 0;
  if (ParseNumber<long long>(text, low, high, value)) {
    option = static_cast<int>(value);
    return;
  }
  Report(out, name + " must be a number from " + std::to_string(low) + " to " +
                  std::to_string(high) + ", not '" + Echo(text) + "'; it stays " +
                  std::to_string(option));
}

// Carries out "setoption name <name> value <value>".
void SetOption(Session& session, const std::vector<std::string>& words) {
  auto valueAt = std::find(words.begin(), words.end(), "value");
  std::string name = words.size() > 1 && words[1] == "name" ? JoinWords(words, 2, "value") : "";
  std::string value =
      valueAt == words.end() ? "" : JoinWords(words, valueAt - words.begin() + 1, "");
  std::string option = Lower(name);
  if (option == "depth") {
    SetSpin("Depth", value, UCI_MIN_DEPTH, UCI_MAX_DEPTH, session.depth, session.out);
  } else if (option == "move overhead") {
    SetSpin("Move Overhead", value, 0, MAX_MOVE_OVERHEAD, session.moveOverhead, session.out);
  } else if (option != "ponder") {  // pondering needs nothing set: "go ponder" says it all
    Report(session.out, "unknown option: " + Echo(name));
  }
}

// Carries out "position startpos|fen <FEN> [moves ...]". A bad FEN leaves the position as it
// was; the moves are made one by one, as in a game, so that the history behind repetitions and
// the fifty-move rule is the game's, up to the first that is not legal.
void SetPositionFromCommand(const std::vector<std::string>& words, std::ostream& out) {
  std::size_t next;
  if (words.size() > 1 && words[1] == "startpos") {
    InitPosition();
    next = 2;
  } else if (words.size() > 1 && words[1] == "fen") {
    std::string fen = JoinWords(words, 2, "moves"), error;
    if (!SetPositionFromFen(fen, error)) {
      // The reason quotes the offending field: it is the user's text too.
      Report(out, "bad FEN '" + Echo(fen) + "': " + Echo(error) + "; the position is unchanged");
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

// The state of a running search that the commands read during it can change.
struct RunningSearch {
  ThinkLimits& limits;
  bool pondering;
  bool infinite;
  bool stopped = false;

  // Returns whether only a command can end it: it is infinite, or pondering before the hit.
  bool WaitsForStop() const { return infinite || pondering; }
};

// Serves, in their order, the lines that cannot wait for the search to answer: "isready" and
// "quit" wherever they stand, "stop" and "ponderhit" before the next "go" (those after it are
// meant for the search that go starts), and that go or the end of input, which stop a search
// that waits for stop: a GUI that sends another go wants this search's answer now, and without
// input no stop can come. A search that ends by itself runs on. Every other line, and the go,
// wait in order for the search to answer.
void ServeDuringSearch(Session& session, RunningSearch& search) {
  InputQueue& input = *session.input;
  input.fresh.store(false, std::memory_order_relaxed);
  std::vector<std::string> served;  // the commands, with "go" also for the end of input
  {
    std::lock_guard lock(input.mutex);
    bool nextSearch = false;  // past the next go or the end of input
    for (auto line = input.lines.begin(); line != input.lines.end();) {
      std::string command = line->tooLong ? "" : CommandOf(line->text);
      if (!nextSearch && (line->end || command == "go")) {
        served.push_back("go");
        nextSearch = true;
      }
      if (command == "isready" || command == "quit" ||
          (!nextSearch && (command == "stop" || command == "ponderhit"))) {
        served.push_back(command);
        line = input.lines.erase(line);
      } else {
        ++line;
      }
    }
  }
  for (const std::string& command : served) {
    if (command == "isready") {
      Say(session.out, "readyok");
    } else if (command == "ponderhit" && search.pondering) {
      // The GUI's clock runs for us from now.
      search.pondering = false;
      search.limits.timed = search.limits.time.hardLimit.count() > 0;
      search.limits.clockStart = ThinkClock::now();
    } else if (command == "stop" || command == "quit" ||
               (command == "go" && search.WaitsForStop())) {
      search.stopped = true;
      session.quit = session.quit || command == "quit";
    }
  }
}

// Carries out "go": thinks within the limits it sets, one info line per completed depth, then
// sends bestmove (with the move to ponder on, when there is one). When infinite or pondering,
// bestmove waits for "stop", the next "go" or the end of input (or "ponderhit", after which the
// clock rule applies).
void Go(Session& session, const std::vector<std::string>& words, ThinkClock::time_point sent) {
  GoRequest go = ReadGo(words, session.out);
  ThinkLimits limits = LimitsOf(go, session.depth, session.moveOverhead, sent);
  RunningSearch search{limits, go.ponder, go.infinite};
  limits.interrupted = [&] {
    if (session.input->fresh.load(std::memory_order_relaxed)) ServeDuringSearch(session, search);
    return search.stopped;
  };
  session.input->fresh.store(true, std::memory_order_relaxed);  // lines may wait from before
  ThinkResult result = Think(
      limits, [&](const DepthReport& line) { SayDepth(session.out, line); },
      [&](const ThinkProgress& progress) { SayProgress(session.out, progress); });
  while (!search.stopped && search.WaitsForStop()) {
    session.input->WaitForFresh();
    ServeDuringSearch(session, search);
  }
  if (session.quit) return;
  std::string answer = "bestmove " + MoveToString(result.move);
  if (result.ponder != NO_MOVE) answer += " ponder " + MoveToString(result.ponder);
  Say(session.out, answer);
}

// Carries out one command line.
void RunCommand(Session& session, const InputLine& line) {
  std::vector<std::string> words = WordsOf(line.text);
  if (words.empty()) return;
  const std::string& command = words[0];
  if (command == "uci") {
    Identify(session.out);
  } else if (command == "isready") {
    Say(session.out, "readyok");
  } else if (command == "ucinewgame") {
    ClearSearchMemory();
  } else if (command == "setoption") {
    SetOption(session, words);
  } else if (command == "position") {
    SetPositionFromCommand(words, session.out);
  } else if (command == "go") {
    Go(session, words, line.read);
  } else if (command == "quit") {
    session.quit = true;
  } else if (command != "stop" && command != "ponderhit" && command != "debug" &&
             command != "register") {
    // stop and ponderhit outside a search: it has already answered.
    Report(session.out, "unknown command: " + Echo(line.text));
  }
}

}  // namespace

int RunUci(std::istream& in, std::ostream& out) {
  // A GUI checks our moves by the standard rules, which forbid castling across a square that an
  // enemy pawn covers and know no squares claimed by castling rights; one move judged otherwise
  // would forfeit the game.
  standardRules = true;
  InitPosition();
  ClearSearchMemory();
  Session session{out, std::make_shared<InputQueue>()};
  std::thread reader(ReadInput, std::ref(in), session.input);
  while (out && !session.quit) {
    InputLine line = session.input->Take();
    if (line.end) break;
    if (line.tooLong)
      Report(out, "a line longer than " + std::to_string(UCI_MAX_LINE) + " bytes was ignored");
    else
      RunCommand(session, line);
  }
  // The reader ends after quit or the end of input; when the GUI has gone it may never read
  // another line, and the process ends without it.
  if (out)
    reader.join();
  else
    reader.detach();
  return out ? 0 : 1;
}
