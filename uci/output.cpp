// What the engine tells the GUI.
#include "uci/output.h"

#include <algorithm>
#include <ostream>

#include "engine/notation.h"
#include "engine/rules.h"

namespace {

constexpr std::size_t ECHO_LIMIT = 200;  // bytes of the user's text that a report repeats

// Returns a root score in UCI terms: "cp" in hundredths of a pawn, or "mate" in moves, negative
// when the side to move is being mated (0 when it is mated now).
std::string ScoreText(int score) {
  if (!IsMateScore(score)) return "cp " + std::to_string(score * 100);
  return "mate " + std::to_string(MateInMoves(score));
}

// Returns " nodes N nps P time T": the nodes searched, per second, and the milliseconds taken.
std::string NodesText(std::uint64_t nodes, std::chrono::microseconds elapsed) {
  auto us = static_cast<unsigned long long>(std::max<long long>(elapsed.count(), 1));
  return " nodes " + std::to_string(nodes) + " nps " + std::to_string(nodes * 1000000ull / us) +
         " time " + std::to_string(us / 1000);
}

}  // namespace

void Say(std::ostream& out, const std::string& line) { out << line << '\n' << std::flush; }

void Report(std::ostream& out, const std::string& message) { Say(out, "info string " + message); }

std::string Echo(const std::string& text) { return Printable(text, ECHO_LIMIT); }

void SayDepth(std::ostream& out, const DepthReport& line) {
  std::string text = "info depth " + std::to_string(line.depth) + " seldepth " +
                     std::to_string(line.selDepth) + " score " + ScoreText(line.score) +
                     NodesText(line.nodes, line.elapsed);
  if (!line.pv.empty()) {
    text += " pv";
    for (Move move : line.pv) text += " " + MoveToString(move);
  }
  Say(out, text);
}

void SayProgress(std::ostream& out, const ThinkProgress& progress) {
  if (progress.currMove == NO_MOVE)
    Say(out, "info" + NodesText(progress.nodes, progress.elapsed));
  else
    Say(out, "info depth " + std::to_string(progress.depth) + " currmove " +
                 MoveToString(progress.currMove) + " currmovenumber " +
                 std::to_string(progress.currMoveNumber));
}
