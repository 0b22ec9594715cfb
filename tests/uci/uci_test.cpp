// The UCI protocol driven in memory and, with the same input, as the chess-uci program: answers,
// searches, positions set up with moves, and bad input of every kind.
#include "uci/uci.h"

#include <sys/mman.h>

#include <random>
#include <sstream>

#include "../game/process.h"
#include "engine/notation.h"
#include "engine/rules.h"
#include "engine/think.h"

namespace {

// Returns output without what varies from run to run: " nps P time T" of info lines, the lines
// on a running depth's progress (after a second), and where a readyok falls among the lines of a
// search, which answers isready at once (the readyok lines are counted at the end instead).
std::string WithoutTimes(std::string output) {
  std::istringstream lines(output);
  output.clear();
  for (std::string line; std::getline(lines, line);)
    if (!line.starts_with("info nodes ") && line.find(" currmove ") == std::string::npos)
      output += line + "\n";
  for (std::size_t at; (at = output.find(" nps ")) != std::string::npos;) {
    std::size_t time = output.find(" time ", at);
    output.erase(at, output.find_first_not_of("0123456789", time + 6) - at);
  }
  int ready = 0;
  for (std::size_t at; (at = output.find("readyok\n")) != std::string::npos; ++ready)
    output.erase(at, 8);
  return output + std::to_string(ready) + " readyok";
}

// Runs a whole session on input in memory and returns what the engine wrote; the position it
// leaves is pos. The same input is given to the chess-uci program, whose output must be the same.
std::string Session(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_EQ(RunUci(in, out), 0);

  Fd file{memfd_create("uci_input", MFD_CLOEXEC)};
  EXPECT_EQ(write(file.fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
  lseek(file.fd, 0, SEEK_SET);
  Outcome run = RunProgram(CHESS_UCI_BIN, {}, file.fd);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(WithoutTimes(run.out), WithoutTimes(out.str())) << input.substr(0, 80);
  return out.str();
}

}  // namespace

TEST(Uci, HandshakeAndSearchAnswers) {
  // The handshake; options named in any case; a node limit reached at a poll (one comes every
  // 1024 nodes), which reports the depths it completed in turn, not the one it cut; the Depth
  // option as the limit of a plain go.
  const std::string handshake =
      "id name chess\nid author the chess developers\n"
      "option name Depth type spin default 6 min 1 max 10\n"
      "option name Move Overhead type spin default 10 min 0 max 5000\n"
      "option name Ponder type check default false\nuciok\nreadyok\n";
  std::string out = Session(
      "uci\nisready\nucinewgame\nstop\nsetoption name move OVERHEAD value 0\ngo nodes 1000 "
      "depth 9\nsetoption name Depth value 1\ngo\n");
  EXPECT_TRUE(out.starts_with(handshake)) << out;
  std::istringstream lines(out.substr(handshake.size()));
  std::string line;
  for (int depth = 1; std::getline(lines, line) && line.starts_with("info "); ++depth) {
    EXPECT_TRUE(line.starts_with("info depth " + std::to_string(depth) + " ")) << line;
    EXPECT_LT(std::stoull(line.substr(line.find(" nodes ") + 7)), 1000u + 1024) << line;
  }
  EXPECT_TRUE(line.starts_with("bestmove a2a3") && std::getline(lines, line) &&
              line.starts_with("info depth 1 ") && out.ends_with(" pv a2a3\nbestmove a2a3\n"))
      << out;
  // Every node of every depth counts, the one cut short too, and thinking stops within a poll's
  // nodes past the limit (the nodes counted while the search unwinds are few).
  InitPosition();
  ThinkLimits limits;
  limits.nodes = 30000;
  ThinkResult result = Think(
      limits, [](const DepthReport&) {}, [](const ThinkProgress&) {});
  EXPECT_TRUE(result.nodes >= limits.nodes && result.nodes < limits.nodes + SEARCH_POLL_NODES + 64)
      << result.nodes;
  // A depth cut short leaves nothing behind that changes a later answer: the game's own search of
  // depth 6.
  out = Session("go nodes 10000\ngo depth 6\n");
  EXPECT_NE(out.find(" score cp -100 ", out.rfind("info depth 6 ")), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("\nbestmove a2a3 ponder b7b6\n")) << out;
}

// The game's first plies replayed through "position startpos moves ..." give its next moves.
TEST(Uci, ReplaysTheGame) {
  const char* game[] = {"a2a3", "b8a6", "c2c3", "a8b8", "a3a4", "b8a8", "d2d4", "a8b8",
                        "b2b3", "b8a8", "b3b4", "g8f6", "b4b5", "a6b8", "a4a5", "h8g8"};
  std::string moves;
  for (const char* move : game) {
    std::string out = Session("position startpos moves" + moves + "\ngo\n");
    EXPECT_NE(out.find(std::string("\nbestmove ") + move), std::string::npos) << moves << out;
    moves += std::string(" ") + move;
  }
}

TEST(Uci, MateScoresAndNoMove) {
  const char* cases[][4] = {
      // the position, the go command, what it says, its move
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "go", " score mate 1 ", "d1d8"},
      {"k7/8/1K6/8/8/8/8/7R b - - 0 1", "go depth 3", " score mate -1 ", "a8b8"},
      {"2k5/8/2K5/8/8/8/8/7R b - - 0 1", "go", " score mate -2 ", "c8b8"},
      // No mate in one: the search ends at depth 2, which would have found it.
      {"k7/8/2K5/8/8/8/8/7R w - - 0 1", "go mate 1 depth 9", "depth 2 seldepth 3 score cp 500 ",
       "c6c7"},
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "go", " score mate 0 ", "0000"},  // mated
      {"k7/8/1Q6/8/8/8/8/7K b - - 0 1", "go", " score cp 0 ", "0000"},     // stalemate
      {"4k3/8/8/8/8/8/8/QQQ1K3 w - - 98 80", "go depth 1", " score cp 2700 ", "a1a2"},
      // Two more reversible moves bring the FEN's clock to the fifty-move limit: a draw.
      {"4k3/8/8/8/8/8/8/QQQ1K3 w - - 98 80 moves e1d2 e8d8", "go depth 1", " score cp 0 ", ""},
      // Standard rules: black's right claims no square, so the white king may step onto c8 and
      // stand there unchecked, and here it is stalemated, not mated.
      {"rn2k3/2K5/8/8/8/8/8/8 w q - 0 1 moves c7c8 b8a6", "go depth 3", " pv c8b7", "c8b7"},
      {"rnK1k3/8/8/8/8/8/8/8 b q - 0 1", "go depth 1", " score cp 800 ", "a8a7"},
      {"rnK1k3/8/8/n3b3/8/8/8/8 w q - 0 1", "go", " score cp 0 ", "0000"},
  };
  for (const auto& [fen, go, score, best] : cases) {
    std::string out = Session(std::string("position fen ") + fen + "\n" + go + "\n");
    EXPECT_NE(out.find(score), std::string::npos) << fen << "\n" << out;
    EXPECT_NE(out.find(std::string("\nbestmove ") + best), std::string::npos) << fen << out;
  }
  // Mate distances count from the position searched, however many moves led to it: here 1 280
  // plies, a pawn move every 80 while the rook and the black king shuffle, and then black, to
  // move, is mated next move (Ra8 mate whatever it plays).
  std::string input = "position fen k7/8/1K6/8/8/8/2PPPP2/6R1 w - - 0 1 moves";
  for (int ply = 0, rookMoves = 0; ply < 1281; ++ply) {
    int push = ply / 80;
    if (ply % 2)
      input += ply / 2 % 2 ? " b8a8" : " a8b8";
    else if (ply % 80 == 0 && push < 16)
      input += std::string(" ") + "cdef"[push % 4] + char('2' + push / 4) + "cdef"[push % 4] +
               char('3' + push / 4);
    else
      input += rookMoves++ % 2 ? " g2g1" : " g1g2";
  }
  std::string out = Session(input + "\ngo depth 3\n");
  EXPECT_NE(out.find(" score mate -1 "), std::string::npos) << out.substr(0, 300);
  // The moves are made as in a game, so their repetitions count.
  Session("position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8\n");
  EXPECT_EQ(GameVerdict(), DRAW_BY_REPETITION);
}

// Bad input: a report in an info string, the last good position kept, and nothing else lost.
TEST(Uci, BadInputIsReportedAndIgnored) {
  const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  const std::string afterE4E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2";
  const std::string cases[][3] = {
      // the input, the report, the position it leaves
      {std::string("foo \x1b[31mbar\x01\0\xff\n", 16),
       "info string unknown command: foo \\x1B[31mbar\\x01\\x00\\xFF\n", start},
      {"position startpos moves e2e4 e7e5 e1e3 d2d4\n",
       "info string bad move 'e1e3' (no legal move fits it); stopped after 2 moves at " +
           afterE4E5 + "\n",
       afterE4E5},
      // The reason quotes the bad field too, escaped like the rest.
      {"position startpos moves e2e4 e7e5\nposition fen 4k3/8/8/8/8/8/8/4K3 \x1b[31mX - - 0 1 "
       "moves e2e4\n",
       "info string bad FEN '4k3/8/8/8/8/8/8/4K3 \\x1B[31mX - - 0 1': side to move must be 'w' or "
       "'b', not '\\x1B[31mX'; the position is unchanged\n",
       afterE4E5},
      // Standard castling: the pawn on e2 covers f1, which the king would cross.
      {"position fen k7/8/8/8/8/8/4p3/4K2R w K - 0 1 moves e1g1\n",
       "info string bad move 'e1g1' (no legal move fits it); stopped after 0 moves at "
       "k7/8/8/8/8/8/4p3/4K2R w K - 0 1\n",
       "k7/8/8/8/8/8/4p3/4K2R w K - 0 1"},
      // A NUL is no annotation: the move is not read as e2e4.
      {std::string("position startpos moves e2e4\0\0 e7e5\0\n", 38),
       "info string bad move 'e2e4\\x00\\x00' (not a move in SAN or coordinate notation); stopped "
       "after 0 moves at " +
           start + "\n",
       start},
      // Every fault of a go is named; what is sound in it stands, and the search goes on.
      {"go wtime -5 btime 99999999999999999999999 winc x movestogo depth 0 foo searchmoves e2e4 "
       "e2e3 nodes\n",
       "info string go: wtime -5 is out of range 0 to 2147483647; using 0\n"
       "info string go: btime 99999999999999999999999 is out of range 0 to 2147483647; using "
       "2147483647\n"
       "info string go: winc needs a number, not 'x'; ignored\n"
       "info string go: movestogo needs a number; ignored\n"
       "info string go: depth 0 is out of range 1 to 60; using 1\n"
       "info string go: unknown word 'foo'; ignored\n"
       "info string go: searchmoves is not supported; searching every move\n"
       "info string go: nodes needs a number; ignored\ninfo depth 1 ",
       start},
  };
  for (const auto& [input, report, fen] : cases) {
    EXPECT_EQ(Session(input).substr(0, report.size()), report) << input.substr(0, 80);
    EXPECT_EQ(PositionToFen(), fen) << input.substr(0, 80);
  }
  // A field of 60 000 bytes comes back as 200 at most, in the FEN and in the reason.
  std::string out =
      Session("position fen 4k3/8/8/8/8/8/8/4K3 w " + std::string(60000, 'K') + " - 0 1\n");
  EXPECT_LT(out.size(), 2 * 200 + 120u) << out;
  // Blank lines and CR LF ends; nothing after quit; end of input in the middle of a line.
  EXPECT_EQ(Session("\n\r\n \t \nisready\r\nquit\nisready\n"), "readyok\n");
  EXPECT_EQ(Session("isready"), "readyok\n");
}

// Lines put together at random from the protocol's words, moves and junk: every line is answered
// or ignored, the session goes on to the end, and the engine's answers stay well formed.
TEST(Uci, SurvivesRandomCommands) {
  std::vector<std::string> words;
  std::istringstream vocabulary(
      "position startpos fen moves go depth 1 2 0 -3 7x setoption name Depth value "
      "isready ucinewgame ponderhit e2e4 e7e5 e1g1 e7e8q Nf3 O-O 0000 a1a1 8/8/8/8/8/8/8/8 w b "
      "KQkq - "
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR k7/8/1K6/8/8/8/8/7R \x01 \xff");
  for (std::string word; vocabulary >> word;) words.push_back(word);
  words.push_back("\t");
  std::mt19937 random(7);
  std::string input;
  for (int line = 0; line < 400; ++line) {
    for (int n = random() % 12; n > 0; --n) input += words[random() % words.size()] + " ";
    input += random() % 3 ? "\n" : "\r\n";
  }
  input += "isready\n";
  std::string out = Session(input);
  EXPECT_NE(out.find("readyok\n"), std::string::npos);
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(line.starts_with("info ") || line.starts_with("bestmove ") || line == "readyok")
        << line;
}

// Every principal variation is legal move by move: each is replayed as the moves of a position
// command, which reports the first that is not, on positions full of captures, checks and mates;
// and a mate's line runs to the mate, even where the root's move only ties an earlier one's value
// (the last two, at depth 8).
TEST(Uci, PrincipalVariationsReplay) {
  const char* cases[][2] = {
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", "go depth 7"},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", "go depth 7"},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", "go depth 7"},
      {"2k5/8/2K5/8/8/8/8/7R b - - 0 1", "go depth 7"},
      {"r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1", "go mate 3"},
      {"3kn3/1r4Q1/3Pp2P/p3P3/p1b2P2/2P4N/4RQ2/5BKn w - - 3 50", "go depth 8"},
  };
  for (const auto& [fen, go] : cases) {
    std::string out = Session(std::string("position fen ") + fen + "\n" + go + "\n");
    std::istringstream lines(out);
    std::size_t longest = 0;
    for (std::string line; std::getline(lines, line);) {
      std::size_t pv = line.find(" pv ");
      if (pv == std::string::npos) continue;
      std::string moves = line.substr(pv + 4);
      longest = std::max(longest, moves.size());
      std::string replay = std::string("position fen ") + fen + " moves " + moves + "\n";
      if (line.find(" score mate ") == std::string::npos) {
        EXPECT_EQ(Session(replay), "") << fen << ": " << line;
      } else {
        std::string end = Session(replay + "go depth 1\n");
        EXPECT_TRUE(end.find(" score mate 0 ") != std::string::npos &&
                    end.ends_with("bestmove 0000\n"))
            << fen << ": " << line << "\n"
            << end;
      }
    }
    EXPECT_GE(longest, 19u) << out;  // four moves or more
  }
}
