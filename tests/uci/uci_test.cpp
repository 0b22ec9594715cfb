// The UCI protocol driven in memory and, with the same input, as the chess-uci program: answers,
// searches, positions set up with moves, and bad input of every kind.
#include "uci/uci.h"

#include <random>
#include <sstream>

#include "../game/process.h"
#include "engine/notation.h"
#include "engine/rules.h"

namespace {

// Returns output without the figures that vary from run to run: " time T nps P" of info lines.
std::string WithoutTimes(std::string output) {
  for (std::size_t at; (at = output.find(" time ")) != std::string::npos;) {
    std::size_t nps = output.find(" nps ", at);
    output.erase(at, output.find_first_not_of("0123456789", nps + 5) - at);
  }
  return output;
}

// Runs a whole session on input in memory and returns what the engine wrote; the position it
// leaves is pos. The same input is given to the chess-uci program, whose output must be the same.
std::string Session(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_EQ(RunUci(in, out), 0);

  char path[] = "/tmp/uci_test_XXXXXX";
  Fd file{mkstemp(path)};
  unlink(path);
  EXPECT_EQ(write(file.fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
  lseek(file.fd, 0, SEEK_SET);
  Outcome run = RunProgram(CHESS_UCI_BIN, {}, file.fd);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(WithoutTimes(run.out), WithoutTimes(out.str())) << input.substr(0, 80);
  return out.str();
}

// Returns the bestmove line's move of a session's output.
std::string BestMove(const std::string& output) {
  std::size_t at = output.rfind("bestmove ");
  return at == std::string::npos ? "(none)" : output.substr(at + 9, output.find('\n', at) - at - 9);
}

}  // namespace

TEST(Uci, HandshakeAndSearchAnswers) {
  EXPECT_EQ(Session("uci\nisready\nucinewgame\nstop\n"),
            "id name chess\nid author the chess developers\n"
            "option name Depth type spin default 6 min 1 max 10\nuciok\nreadyok\n");
  std::string out = Session("position startpos\ngo depth 6\n");
  EXPECT_EQ(out.rfind("info depth 6 score cp -100 nodes ", 0), 0u) << out;
  EXPECT_NE(out.find(" time "), std::string::npos);
  EXPECT_NE(out.find(" nps "), std::string::npos);
  EXPECT_NE(out.find(" pv a2a3\nbestmove a2a3\n"), std::string::npos) << out;
  // Clocks are read and left aside: the engine searches its depth and answers at once.
  EXPECT_EQ(BestMove(Session("go wtime 1000 btime 1000 winc 10 binc 10 movestogo 5\n")), "a2a3");
  EXPECT_EQ(BestMove(Session("go infinite\n")), "a2a3");
  EXPECT_EQ(Session("setoption name Depth value 1\ngo movetime 50\n").rfind("info depth 1 ", 0),
            0u);
}

// The game's first plies replayed through "position startpos moves ..." give its next moves.
TEST(Uci, ReplaysTheGame) {
  const char* game[] = {"a2a3", "b8a6", "c2c3", "a8b8", "a3a4", "b8a8", "d2d4", "a8b8",
                        "b2b3", "b8a8", "b3b4", "g8f6", "b4b5", "a6b8", "a4a5", "h8g8"};
  std::string moves;
  for (const char* move : game) {
    EXPECT_EQ(BestMove(Session("position startpos moves" + moves + "\ngo\n")), move) << moves;
    moves += std::string(" ") + move;
  }
}

TEST(Uci, MateScoresAndNoMove) {
  struct Case {
    const char* fen;
    const char* go;
    const char* score;
    const char* best;
  };
  const Case cases[] = {
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "go", " score mate 1 ", "d1d8"},
      {"k7/8/1K6/8/8/8/8/7R b - - 0 1", "go depth 3", " score mate -1 ", "a8b8"},
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "go", " score mate 0 ", "0000"},  // mated
      {"k7/8/1Q6/8/8/8/8/7K b - - 0 1", "go", " score cp 0 ", "0000"},     // stalemate
      {"4k3/8/8/8/8/8/8/QQQ1K3 w - - 98 80", "go depth 1", " score cp 2700 ", "a1a2"},
      // Two more reversible moves bring the FEN's clock to the fifty-move limit: a draw.
      {"4k3/8/8/8/8/8/8/QQQ1K3 w - - 98 80 moves e1d2 e8d8", "go depth 1", " score cp 0 ", ""},
  };
  for (const Case& c : cases) {
    std::string out = Session(std::string("position fen ") + c.fen + "\n" + c.go + "\n");
    EXPECT_NE(out.find(c.score), std::string::npos) << c.fen << "\n" << out;
    if (*c.best) {
      EXPECT_EQ(BestMove(out), c.best) << c.fen;
    }
  }
  // The moves are made as in a game, so their repetitions count.
  Session("position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8\n");
  EXPECT_EQ(GameVerdict(), DRAW_BY_REPETITION);
}

// Bad input: a report in an info string, the last good position kept, and nothing else lost.
TEST(Uci, BadInputIsReportedAndIgnored) {
  const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  const std::string afterE4E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2";
  struct Case {
    std::string input, report, fen;
  };
  const std::string longLine = "position startpos moves" + std::string(UCI_MAX_LINE, ' ') + "e2e4";
  const Case cases[] = {
      {"foo bar\n", "info string unknown command: foo bar\n", start},
      {"\x1b[31mred\x01\n", "info string unknown command: \\x1B[31mred\\x01\n", start},
      {std::string("is\0ready\xff\n", 11), "info string unknown command: is\\x00ready\\xFF\n",
       start},
      {"position startpos moves e2e4 e7e5 e1e3 d2d4\n",
       "info string bad move 'e1e3' (no legal move fits it); stopped after 2 moves at " +
           afterE4E5 + "\n",
       afterE4E5},
      {"position startpos moves e2e4 e7e5\nposition fen 8/8/8 w - - 0 1 moves e2e4\n",
       "info string bad FEN '8/8/8 w - - 0 1': fewer than 8 ranks; the position is unchanged\n",
       afterE4E5},
      {"position startpos moves e2e4 e7e5\nposition\n",
       "info string position needs startpos or fen: position\n", afterE4E5},
      {"position startpos e2e4\n", "info string expected moves, not 'e2e4'; no moves made\n",
       start},
      // Standard castling: the pawn on e2 covers f1, which the king would cross.
      {"position fen k7/8/8/8/8/8/4p3/4K2R w K - 0 1 moves e1g1\n",
       "info string bad move 'e1g1' (no legal move fits it); stopped after 0 moves at "
       "k7/8/8/8/8/8/4p3/4K2R w K - 0 1\n",
       "k7/8/8/8/8/8/4p3/4K2R w K - 0 1"},
      {"setoption name Depth value 99\n",
       "info string Depth must be a number from 1 to 10, not '99'; it stays 6\n", start},
      {"setoption name Hash value 16\n", "info string unknown option: Hash\n", start},
      {"go depth x\n",
       "info string depth must be a number from 1 to 10, not 'x'; searching depth 6\n", start},
      {"go nodes 5 searchmoves e2e4\n",
       "info string searchmoves is not supported; searching every move\n", start},
      {longLine + "\nposition startpos moves d2d4\r\n" + longLine,
       "info string a line longer than 65536 bytes was ignored\n",
       "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 1"},
  };
  for (const Case& c : cases) {
    std::string out = Session(c.input);
    EXPECT_EQ(out.substr(0, c.report.size()), c.report) << c.input.substr(0, 80);
    EXPECT_EQ(PositionToFen(), c.fen) << c.input.substr(0, 80);
  }
  // Blank lines and CR LF ends; nothing after quit; end of input in the middle of a line.
  EXPECT_EQ(Session("\n\r\n \t \nisready\r\nquit\nisready\n"), "readyok\n");
  EXPECT_EQ(Session("isready"), "readyok\n");
}

// Lines put together at random from the protocol's words, moves and junk: every line is answered
// or ignored, the session goes on to the end, and the engine's answers stay well formed.
TEST(Uci, SurvivesRandomCommands) {
  std::vector<std::string> words;
  std::istringstream vocabulary(
      "position startpos fen moves go depth 1 2 0 -3 99999999999 setoption name Depth value "
      "isready ucinewgame stop e2e4 e7e5 e1g1 e7e8q Nf3 O-O 0000 a1a1 8/8/8/8/8/8/8/8 w b KQkq - "
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
  EXPECT_TRUE(out.ends_with("readyok\n")) << out.substr(out.size() > 400 ? out.size() - 400 : 0);
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(line.starts_with("info ") || line.starts_with("bestmove ") || line == "readyok")
        << line;
}
