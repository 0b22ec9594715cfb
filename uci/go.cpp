// The words of "go" and its limits.
#include "uci/go.h"

#include <algorithm>
#include <climits>

#include "engine/clock.h"
#include "engine/notation.h"
#include "uci/output.h"

namespace {

constexpr long long MAX_MILLISECONDS = (1ll << 31) - 1;
constexpr int MAX_MOVES_TO_GO = 1000;

}  // namespace

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

ThinkLimits LimitsOf(const GoRequest& go, int depth, int moveOverhead,
                     ThinkClock::time_point sent) {
  ThinkLimits limits;
  int mover = ColourIndex(pos.side);
  bool clock = go.time[mover] >= 0 && !go.infinite;
  if (go.depth > 0) limits.depth = static_cast<int>(go.depth);
  if (go.nodes > 0) limits.nodes = static_cast<std::uint64_t>(go.nodes);
  if (go.mate > 0) limits.mate = static_cast<int>(go.mate);
  if (go.moveTime >= 0 && !go.infinite) {
    std::chrono::milliseconds limit{std::max(1ll, go.moveTime - moveOverhead)};
    limits.time = {limit, limit};
    limits.timed = limits.wholeTime = true;
  } else if (clock) {
    limits.time = ClockBudget(go.time[mover], go.increment[mover], static_cast<int>(go.movesToGo),
                              moveOverhead);
    limits.timed = true;
  } else if (go.depth < 0 && go.nodes < 0 && go.mate < 0 && !go.infinite) {
    limits.depth = depth;
  }
  limits.clockStart = sent;
  if (go.ponder) limits.timed = false;  // until the ponder hit
  limits.stopAtSettledMate = !go.infinite && !go.ponder;
  return limits;
}
