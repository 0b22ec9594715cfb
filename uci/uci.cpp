// The Universal Chess Interface.
#include "uci/uci.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <deque>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "engine/castling.h"
#include "engine/makemove.h"
#include "engine/notation.h"
#include "engine/rules.h"
#include "engine/san.h"

namespace {

constexpr std::size_t ECHO_LIMIT = 200;  // bytes of the user's text that an info string repeats
constexpr long long MAX_MILLISECONDS = (1ll << 31) - 1;
constexpr int MAX_MOVES_TO_GO = 1000;
constexpr int CLOCK_SHARE = 30;  // a move's share of the clock, at least: a thirtieth
// One move never takes more than this part of the time left: at a fast clock the rest is the
// cushion against a process that the machine leaves waiting for tens of milliseconds.
constexpr int CLOCK_RESERVE = 4;
constexpr int HARD_LIMIT_TARGETS = 3;  // a running depth is abandoned at this many targets
// A new depth starts only before this part of the target has passed: each takes about four times
// as long as all before it, so one started later would end far beyond the target.
constexpr int NEW_DEPTH_SHARE = 3;

using std::chrono::milliseconds;

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

// The lines read but not yet carried out, shared between the reading thread, which adds them,
// and the protocol, which takes them.
struct Input {
  struct Line {
    std::string text;
    bool tooLong = false;
    bool end = false;  // the end of input: nothing follows
  };
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<Line> lines;
  std::atomic<bool> fresh{false};  // lines came since a search last looked

  // Adds a line and wakes the protocol.
  void Add(Line line) {
    {
      // Under the lock, so that a wait for fresh lines cannot miss this one.
      std::lock_guard lock(mutex);
      lines.push_back(std::move(line));
      fresh.store(true, std::memory_order_relaxed);
    }
    arrived.notify_one();
  }

  // Waits for a line and takes it.
  Line Take() {
    std::unique_lock lock(mutex);
    arrived.wait(lock, [&] { return !lines.empty(); });
    Line line = std::move(lines.front());
    lines.pop_front();
    return line;
  }
};

// Returns the first word of a line, or "".
std::string CommandOf(const std::string& line) {
  std::vector<std::string> words = SplitWords(line);
  return words.empty() ? "" : words[0];
}

// The reading thread: every line of in, in order, then the end of input. It stops after "quit",
// so that the session can wait for it whatever the input still holds.
void ReadInput(std::istream& in, std::shared_ptr<Input> input) {
  std::string line;
  bool tooLong = false;
  while (ReadUciLine(in, line, tooLong)) {
    bool quit = !tooLong && CommandOf(line) == "quit";
    input->Add({line, tooLong, false});
    if (quit) return;
  }
  input->Add({"", false, true});
}

// What the protocol remembers between commands beyond the position itself.
struct Session {
  std::ostream& out;
  std::shared_ptr<Input> input;
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
void SetUpPosition(const std::vector<std::string>& words, std::ostream& out) {
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

// What a "go" asks for; -1 where it says nothing.
struct GoRequest {
  long long time[2] = {-1, -1};  // by ColourIndex: wtime, btime
  long long increment[2] = {0, 0};
  long long movesToGo = 0, moveTime = -1, depth = -1, nodes = -1, mate = -1;
  bool infinite = false, ponder = false;
};

// Reads the words of "go" in any order. A number missing, unreadable or out of range is
// reported: a missing or unreadable one is ignored, one out of range is brought into it.
GoRequest ReadGo(const std::vector<std::string>& words, std::ostream& out) {
  GoRequest go;
  struct Field {
    const char* word;
    long long* value;
    long long low, high;
  };
  const Field fields[] = {
      {"wtime", &go.time[ColourIndex(WHITE)], 0, MAX_MILLISECONDS},
      {"btime", &go.time[ColourIndex(BLACK)], 0, MAX_MILLISECONDS},
      {"winc", &go.increment[ColourIndex(WHITE)], 0, MAX_MILLISECONDS},
      {"binc", &go.increment[ColourIndex(BLACK)], 0, MAX_MILLISECONDS},
      {"movestogo", &go.movesToGo, 0, MAX_MOVES_TO_GO},
      {"movetime", &go.moveTime, 0, MAX_MILLISECONDS},
      {"depth", &go.depth, 1, MAX_THINK_DEPTH},
      {"nodes", &go.nodes, 1, INT64_MAX},
      {"mate", &go.mate, 1, MAX_THINK_DEPTH / 2},
  };
  auto fieldOf = [&](const std::string& word) -> const Field* {
    for (const Field& field : fields)
      if (word == field.word) return &field;
    return nullptr;
  };
  auto isWord = [&](const std::string& word) {
    return fieldOf(word) || word == "infinite" || word == "ponder" || word == "searchmoves";
  };
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (const Field* field = fieldOf(word)) {
      std::string name = field->word;
      long long value = 0;
      if (i + 1 == words.size() || isWord(words[i + 1])) {
        Report(out, "go: " + name + " needs a number; ignored");
      } else if (!ParseNumber(words[++i], LLONG_MIN, LLONG_MAX, value)) {
        Report(out, "go: " + name + " needs a number, not '" + Echo(words[i]) + "'; ignored");
      } else {
        *field->value = std::clamp(value, field->low, field->high);
        if (*field->value != value)
          Report(out, "go: " + name + " " + Echo(words[i]) + " is out of range " +
                          std::to_string(field->low) + " to " + std::to_string(field->high) +
                          "; using " + std::to_string(*field->value));
      }
    } else if (word == "infinite") {
      go.infinite = true;
    } else if (word == "ponder") {
      go.ponder = true;
    } else if (word == "searchmoves") {
      Report(out, "go: searchmoves is not supported; searching every move");
      while (i + 1 < words.size() && !isWord(words[i + 1])) ++i;
    } else {
      Report(out, "go: unknown word '" + Echo(word) + "'; ignored");
    }
  }
  return go;
}

// Returns the limits a "go" sets: its own, the clock rule for the mover's clock, or else the
// Depth option. The clock does not run while pondering, nor at all when infinite.
ThinkLimits LimitsOf(const GoRequest& go, const Session& session) {
  ThinkLimits limits;
  int mover = ColourIndex(pos.side);
  bool clock = go.time[mover] >= 0 && !go.infinite;
  if (go.depth > 0) limits.depth = static_cast<int>(go.depth);
  if (go.nodes > 0) limits.nodes = static_cast<std::uint64_t>(go.nodes);
  if (go.mate > 0) limits.mate = static_cast<int>(go.mate);
  if (go.moveTime >= 0 && !go.infinite) {
    milliseconds limit{std::max(1ll, go.moveTime - session.moveOverhead)};
    limits.budget = limits.hardLimit = limit;
    limits.timed = true;
  } else if (clock) {
    MoveTime time = ClockBudget(go.time[mover], go.increment[mover], static_cast<int>(go.movesToGo),
                                session.moveOverhead);
    limits.budget = time.budget;
    limits.hardLimit = time.hardLimit;
    limits.timed = true;
  } else if (go.depth < 0 && go.nodes < 0 && go.mate < 0 && !go.infinite) {
    limits.depth = session.depth;
  }
  limits.clockStart = ThinkClock::now();
  if (go.ponder) limits.timed = false;  // until the ponder hit
  limits.stopAtSettledMate = !go.infinite && !go.ponder;
  return limits;
}

// Returns a root score in UCI terms: "cp" in hundredths of a pawn, or "mate" in moves, negative
// when the side to move is being mated (0 when it is mated now).
std::string ScoreText(int score) {
  if (!IsMateScore(score)) return "cp " + std::to_string(score * 100);
  return "mate " + std::to_string(MateInMoves(score));
}

// Writes the info line of a completed depth.
void SayDepth(std::ostream& out, const DepthReport& line) {
  long long us = std::max<long long>(line.elapsed.count(), 1);
  std::string text = "info depth " + std::to_string(line.depth) + " seldepth " +
                     std::to_string(line.selDepth) + " score " + ScoreText(line.score) + " nodes " +
                     std::to_string(line.nodes) + " nps " +
                     std::to_string(line.nodes * 1000000ull / static_cast<unsigned long long>(us)) +
                     " time " + std::to_string(us / 1000);
  if (!line.pv.empty()) {
    text += " pv";
    for (Move move : line.pv) text += " " + MoveToString(move);
  }
  Say(out, text);
}

// The state of a running search that the commands read during it can change.
struct Search {
  ThinkLimits& limits;
  bool pondering;
  bool infinite;
  bool stopped = false;
};

// Serves the commands that cannot wait for the search: "stop", "ponderhit", "isready" and
// "quit", and the end of input, which stops it too. The lines before the next "go" are looked
// at; the rest of them wait, in order, for the search to answer.
void ServeDuringSearch(Session& session, Search& search) {
  Input& input = *session.input;
  input.fresh.store(false, std::memory_order_relaxed);
  std::vector<std::string> served;
  {
    std::lock_guard lock(input.mutex);
    for (auto line = input.lines.begin(); line != input.lines.end();) {
      std::string command = line->tooLong ? "" : CommandOf(line->text);
      if (line->end || command == "go") {
        // Without input no stop can come: a search that waits for one ends here, any other runs
        // to its end.
        if (line->end && (search.infinite || search.pondering)) search.stopped = true;
        break;
      }
      if (command == "stop" || command == "ponderhit" || command == "isready" ||
          command == "quit") {
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
      search.limits.timed = search.limits.hardLimit.count() > 0;
      search.limits.clockStart = ThinkClock::now();
    } else if (command == "stop" || command == "quit") {
      search.stopped = true;
      session.quit = session.quit || command == "quit";
    }
  }
}

// Carries out "go": thinks within the limits it sets, one info line per completed depth, then
// sends bestmove (with the move to ponder on, when there is one). When infinite or pondering,
// bestmove waits for "stop" (or "ponderhit", after which the clock rule applies).
void Go(Session& session, const std::vector<std::string>& words) {
  GoRequest go = ReadGo(words, session.out);
  ThinkLimits limits = LimitsOf(go, session);
  Search search{limits, go.ponder, go.infinite};
  limits.interrupted = [&] {
    if (session.input->fresh.load(std::memory_order_relaxed)) ServeDuringSearch(session, search);
    return search.stopped;
  };
  session.input->fresh.store(true, std::memory_order_relaxed);  // lines may wait from before
  ThinkResult result = Think(limits, [&](const DepthReport& line) { SayDepth(session.out, line); });
  while (!search.stopped && (search.infinite || search.pondering)) {
    {
      std::unique_lock lock(session.input->mutex);
      session.input->arrived.wait(
          lock, [&] { return session.input->fresh.load(std::memory_order_relaxed); });
    }
    ServeDuringSearch(session, search);
  }
  if (session.quit) return;
  std::string answer = "bestmove " + MoveToString(result.move);
  if (result.ponder != NO_MOVE) answer += " ponder " + MoveToString(result.ponder);
  Say(session.out, answer);
}

// Carries out one command line.
void RunCommand(Session& session, const std::string& line) {
  std::vector<std::string> words = SplitWords(line);
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
    SetUpPosition(words, session.out);
  } else if (command == "go") {
    Go(session, words);
  } else if (command == "quit") {
    session.quit = true;
  } else if (command != "stop" && command != "ponderhit" && command != "debug" &&
             command != "register") {
    // stop and ponderhit outside a search: it has already answered.
    Report(session.out, "unknown command: " + Echo(line));
  }
}

}  // namespace

MoveTime ClockBudget(long long remaining, long long increment, int movesToGo, int moveOverhead) {
  long long available = std::max(0ll, remaining - moveOverhead);
  int share = movesToGo > 0 ? std::min(movesToGo + 1, CLOCK_SHARE) : CLOCK_SHARE;
  long long target = available / share + increment * 3 / 4;
  long long hard = std::max(1ll, std::min(available / CLOCK_RESERVE, HARD_LIMIT_TARGETS * target));
  return {milliseconds(std::min(target, hard) / NEW_DEPTH_SHARE), milliseconds(hard)};
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

int RunUci(std::istream& in, std::ostream& out) {
  // A GUI checks our moves by the standard rules, which forbid castling across a square that an
  // enemy pawn covers and know no squares claimed by castling rights; one move judged otherwise
  // would forfeit the game.
  standardRules = true;
  InitPosition();
  ClearSearchMemory();
  Session session{out, std::make_shared<Input>()};
  std::thread reader(ReadInput, std::ref(in), session.input);
  while (out && !session.quit) {
    Input::Line line = session.input->Take();
    if (line.end) break;
    if (line.tooLong)
      Report(out, "a line longer than " + std::to_string(UCI_MAX_LINE) + " bytes was ignored");
    else
      RunCommand(session, line.text);
  }
  // The reader ends after quit or the end of input; when the GUI has gone it may never read
  // another line, and the process ends without it.
  if (out)
    reader.join();
  else
    reader.detach();
  return out ? 0 : 1;
}
