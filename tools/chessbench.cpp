// chessbench: the developer's tool for checking the rules and the search against other engines
// and against the plain reference search, and for timing them.
//
//   chessbench perft [--standard] DEPTH [FEN...]
//                                     divide: each legal root move's count, then the total;
//                                     --standard: by the rules of standard chess
//   chessbench search DEPTH [FEN...]  the best move, its score and the nodes searched
//   chessbench game [PLIES] [--plain] [FEN...]
//                                     the self-played game (from FEN if given), one line per
//                                     ply, without diagrams
//   chessbench pgn [PLIES] [FEN...]   the self-played game (from FEN if given) as PGN
//   chessbench compare [PLIES]        the game's first plies searched by both searches, timed
//   chessbench bench                  fixed positions at depth 6; the node total is a signature
//   chessbench --help | --version
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "engine/castling.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/notation.h"
#include "engine/perft.h"
#include "engine/position.h"
#include "engine/reference/plain_search.h"
#include "engine/san.h"
#include "engine/search.h"
#include "game/driver.h"
#include "game/pgn.h"

namespace {

constexpr int EXIT_USAGE = 2;
constexpr int MAX_TOOL_DEPTH = 10;
constexpr char START_FEN[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// What a mistaken command line is told, on one line.
constexpr char TRY_HELP[] = "try 'chessbench --help'";

// The usage for --help, laid out as help2man reads it: it makes the manual page from this text.
constexpr char HELP[] = R"(Usage: chessbench perft [--standard] DEPTH [FEN]
  or:  chessbench search DEPTH [FEN]
  or:  chessbench game [PLIES] [--plain] [FEN]
  or:  chessbench pgn [PLIES] [FEN]
  or:  chessbench compare [PLIES]
  or:  chessbench bench
  or:  chessbench --help | --version
The developer's tool of the console chess program: counts moves, runs the search, plays the
program's game as text or PGN, and compares and times the searches.

DEPTH is 0 to 10. FEN is a position in Forsyth-Edwards Notation, one argument or its six
fields as separate arguments (the last two may be left out); without one, the game starts
from the standard starting position. Moves are written in coordinate notation (e2e4,
castling as the king's move e1g1, promotions b7a8q), in pgn's output in standard algebraic
notation.

Bad input gets one line on standard error and exit status 2.

Commands:
  perft       for each legal move, "<move>: <count>" of the positions DEPTH plies on,
              then an empty line and "Nodes searched: <total>"; the time and the speed
              go to standard error. --standard counts by the rules of standard chess,
              for comparing with standard perft suites
  search      "bestmove <move> score <score>" and "nodes <count>" of the game's search
  game        the game (or its first PLIES), a line per ply: number, move, score,
              nodes, time; then "result ..." and "fen <final position>". --plain lets
              the plain reference search choose the moves
  pgn         the game (or its first PLIES) as PGN
  compare     the game's first PLIES (30) searched by both searches, timed
  bench       fixed positions at depth 6; the node total is a signature of the
              search's behaviour

Options:
  -h, --help     print this help and exit
      --version  print the program's name and version and exit
)";

// Reports bad input in one line on standard error and exits with status 2. The message quotes
// what the user typed, so its non-printing bytes are shown escaped: one line, nothing raw sent to
// the terminal.
[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "chessbench: %s\n", Printable(message).c_str());
  std::exit(EXIT_USAGE);
}

// Parses a whole number from 0 to limit, or fails naming what it was meant to be.
int ParseCount(const char* text, int limit, const char* what) {
  int value = 0;
  if (!ParseNumber(text, 0, limit, value))
    Fail(std::string(what) + " must be a number from 0 to " + std::to_string(limit) + ", not '" +
         text + "'");
  return value;
}

// Sets up the position from the FEN words args[first..], or the starting position if none.
void SetUpFromArgs(int argc, char** argv, int first) {
  if (first >= argc) {
    InitPosition();
    return;
  }
  std::string fen;
  for (int i = first; i < argc; ++i) fen += std::string(i > first ? " " : "") + argv[i];
  std::string error;
  if (!SetPositionFromFen(fen, error)) Fail("bad FEN: " + error);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// Prints each legal root move's perft count in generation order as soon as it is known, then the
// total; the time taken and the nodes per second go to standard error.
int RunPerft(int depth) {
  auto start = std::chrono::steady_clock::now();
  MoveList list;
  GenerateMoves(list);
  std::uint64_t total = 0;
  if (depth == 0) total = 1;
  for (int i = 0; depth > 0 && i < list.count; ++i) {
    Undo undo;
    if (!MakeMove(list.moves[i], undo)) continue;
    std::uint64_t nodes = Perft(depth - 1);
    UndoMove(list.moves[i], undo);
    std::printf("%s: %llu\n", MoveToString(list.moves[i]).c_str(),
                static_cast<unsigned long long>(nodes));
    std::fflush(stdout);
    total += nodes;
  }
  std::printf("\nNodes searched: %llu\n", static_cast<unsigned long long>(total));
  std::fflush(stdout);
  double ms = MillisecondsSince(start);
  std::fprintf(stderr, "time %.0f\nnps %.0f\n", ms,
               ms > 0 ? static_cast<double>(total) * 1000.0 / ms : 0.0);
  return 0;
}

// Searches the position to depth with the full window and prints the move and the node count.
int RunSearch(int depth) {
  ClearSearchMemory();
  SearchResult searched = Search(-SCORE_INF, SCORE_INF, depth);
  std::printf("bestmove %s score %d\nnodes %llu\n", MoveToString(searched.move).c_str(),
              searched.score, static_cast<unsigned long long>(searched.nodes));
  return 0;
}

// Chooses a move as the driver does, with the plain reference search instead of the game's.
Turn ChoosePlainMove() { return TurnOf(PlainSearch(-SCORE_INF, SCORE_INF, ROOT_DEPTH)); }

// Plays the game on from the position set up, for at most plies moves, as the driver does: a move
// that choose picks, then the verdict on the position it leaves, so that a halfmove clock already
// at the fifty-move limit still sees one move. Calls chosen(turn) with each move before it is
// made. Returns the verdict on the final position.
Verdict PlayOn(int plies, Turn (*choose)(), const std::function<void(const Turn&)>& chosen) {
  Verdict verdict = PLAY_ON;
  for (int ply = 0; ply < plies && verdict == PLAY_ON; ++ply) {
    Turn turn = choose();
    if (turn.move != NO_MOVE) chosen(turn);
    PlayMove(turn);
    verdict = turn.verdict;
  }
  return verdict;
}

// Plays the game from the position set up (or its first plies) and prints one line per ply, then
// the result and totals. With plain set, the plain reference search chooses the moves instead.
int RunGameLines(int plies, bool plain) {
  ClearSearchMemory();
  std::uint64_t totalNodes = 0;
  double totalMs = 0, slowestMs = 0;
  int ply = 0;
  auto start = std::chrono::steady_clock::now();
  Verdict verdict = PlayOn(plies, plain ? ChoosePlainMove : ChooseMove, [&](const Turn& turn) {
    double ms = MillisecondsSince(start);
    std::printf("%d %s score %d nodes %llu ms %.1f\n", ++ply, MoveToString(turn.move).c_str(),
                turn.score, static_cast<unsigned long long>(turn.nodes), ms);
    std::fflush(stdout);
    totalNodes += turn.nodes;
    totalMs += ms;
    slowestMs = std::max(slowestMs, ms);
    start = std::chrono::steady_clock::now();  // the next search starts about now
  });
  std::printf("result %s plies %d nodes %llu ms %.1f slowest-ms %.1f\n",
              verdict == PLAY_ON ? "unfinished" : ResultLine(verdict), ply,
              static_cast<unsigned long long>(totalNodes), totalMs, slowestMs);
  std::printf("fen %s\n", PositionToFen().c_str());
  return 0;
}

// Plays the game from the position set up (or its first plies) and prints it as PGN, with FEN
// and SetUp tags unless it starts from the standard starting position.
int RunPgn(int plies) {
  PgnGame game;
  game.firstMoveNumber = pos.fullmoveNumber;
  game.firstSide = pos.side;
  if (PositionToFen() != START_FEN) game.startFen = PositionToFen();
  // Each move is written in the position it is played in.
  game.verdict = PlayOn(plies, ChooseMove,
                        [&](const Turn& turn) { game.moves.push_back(MoveToSan(turn.move)); });
  game.finalSide = pos.side;
  std::fputs(FormatPgn(game).c_str(), stdout);
  return 0;
}

// Plays the game's first plies; at each position runs both searches from the same state and
// prints their times and node counts, then the ratios of the totals.
int RunCompare(int plies) {
  InitPosition();
  ClearSearchMemory();
  std::uint64_t fastNodes = 0, plainNodes = 0;
  double fastMs = 0, plainMs = 0;
  for (int ply = 1; ply <= plies; ++ply) {
    auto start = std::chrono::steady_clock::now();
    Turn plain = ChoosePlainMove();
    double pMs = MillisecondsSince(start);

    start = std::chrono::steady_clock::now();
    Turn turn = ChooseMove();
    PlayMove(turn);
    double fMs = MillisecondsSince(start);
    if (turn.move != plain.move || turn.score != plain.score) {
      std::printf("ply %d: the searches differ (%s %d against %s %d)\n", ply,
                  MoveToString(turn.move).c_str(), turn.score, MoveToString(plain.move).c_str(),
                  plain.score);
      return 1;
    }
    std::printf("%d %s plain %llu nodes %.1f ms fast %llu nodes %.2f ms\n", ply,
                MoveToString(turn.move).c_str(), static_cast<unsigned long long>(plain.nodes), pMs,
                static_cast<unsigned long long>(turn.nodes), fMs);
    std::fflush(stdout);
    plainNodes += plain.nodes;
    plainMs += pMs;
    fastNodes += turn.nodes;
    fastMs += fMs;
    if (turn.verdict != PLAY_ON) break;
  }
  std::printf(
      "plain %llu nodes %.1f ms, fast %llu nodes %.1f ms: nodes ratio %.1f, time ratio %.1f\n",
      static_cast<unsigned long long>(plainNodes), plainMs,
      static_cast<unsigned long long>(fastNodes), fastMs,
      static_cast<double>(plainNodes) / static_cast<double>(fastNodes ? fastNodes : 1),
      plainMs / (fastMs > 0 ? fastMs : 1));
  return 0;
}

// Positions rich in tactics, castling, en passant and promotions, for the bench signature.
const char* const BENCH_FENS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "8/8/3k4/8/3K4/8/3P4/8 w - - 60 1",
};

// Searches each bench position at depth 6, each from a clean search memory so that its count
// depends on the position alone, and prints the node total.
int RunBench() {
  std::uint64_t total = 0;
  auto start = std::chrono::steady_clock::now();
  for (const char* fen : BENCH_FENS) {
    std::string error;
    if (!SetPositionFromFen(fen, error)) Fail("bench position: " + error);
    ClearSearchMemory();
    SearchResult searched = Search(-SCORE_INF, SCORE_INF, ROOT_DEPTH);
    std::printf("%-75s %s %6d %10llu\n", fen, MoveToString(searched.move).c_str(), searched.score,
                static_cast<unsigned long long>(searched.nodes));
    total += searched.nodes;
  }
  double ms = MillisecondsSince(start);
  std::printf("bench nodes %llu ms %.0f nps %.0f\n", static_cast<unsigned long long>(total), ms,
              ms > 0 ? static_cast<double>(total) * 1000.0 / ms : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) Fail(std::string("no command given; ") + TRY_HELP);
  std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::fputs(HELP, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("chessbench %s\n", CHESS_VERSION);
    return 0;
  }
  if (command == "perft" || command == "search") {
    int first = 2;
    if (command == "perft" && argc > first && std::strcmp(argv[first], "--standard") == 0) {
      standardRules = true;
      ++first;
    }
    if (argc <= first) Fail(command + " needs a depth");
    int depth = ParseCount(argv[first], MAX_TOOL_DEPTH, "depth");
    SetUpFromArgs(argc, argv, first + 1);
    return command == "perft" ? RunPerft(depth) : RunSearch(depth);
  }
  if (command == "pgn" || command == "game") {
    // PLIES and --plain come before the FEN, whose first word names the ranks with '/'.
    int first = 2, plies = -1;
    bool plain = false;
    for (; first < argc && std::strchr(argv[first], '/') == nullptr; ++first) {
      if (command == "game" && std::strcmp(argv[first], "--plain") == 0)
        plain = true;
      else if (plies < 0)
        plies = ParseCount(argv[first], 100000, "plies");
      else
        Fail("unexpected argument '" + std::string(argv[first]) + "' before the FEN");
    }
    if (plies < 0) plies = 1 << 30;
    SetUpFromArgs(argc, argv, first);
    return command == "pgn" ? RunPgn(plies) : RunGameLines(plies, plain);
  }
  if (command == "compare") {
    if (argc > 3) Fail("compare takes at most one argument");
    return RunCompare(argc == 3 ? ParseCount(argv[2], 100000, "plies") : 30);
  }
  if (command == "bench") {
    if (argc > 2) Fail("bench takes no arguments");
    return RunBench();
  }
  Fail("unknown command '" + command + "'; " + TRY_HELP);
}
