// chessbench: the divide layout other engines are compared with, and its answers to bad input.
#include "process.h"

namespace {

// Runs chessbench with args and standard input from /dev/null.
Outcome Bench(const std::vector<const char*>& args) {
  Fd devNull{OpenPath("/dev/null", O_RDONLY)};
  return RunProgram(CHESSBENCH_BIN, args, devNull.fd);
}

}  // namespace

TEST(Tool, PerftDivideAndSearch) {
  Outcome run = Bench({"perft", "2", "8/8/8/8/k2Pp2Q/8/8/3K4", "b", "-", "d3", "0", "1"});
  EXPECT_EQ(run.status, 0);
  // The en-passant capture e4d3 would expose the king on the fourth rank, so it is not listed.
  EXPECT_EQ(run.out,
            "a4a5: 23\na4b5: 23\na4b4: 23\na4a3: 23\na4b3: 22\ne4e3: 22\n\nNodes searched: 136\n");
  // The time and speed go to standard error, leaving the divide as other engines print it.
  EXPECT_EQ(run.err.substr(0, 5), "time ");

  // The pawn on e2 covers f1, which castling crosses: allowed by our rule, refused by --standard.
  run = Bench({"perft", "--standard", "2", "k7/8/8/8/8/8/4p3/4K2R w K - 0 1"});
  EXPECT_EQ(run.out.find("e1g1"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nNodes searched: 45\n"), std::string::npos) << run.out;

  run = Bench({"search", "2", "6k1/5ppp/8/8/8/8/5PPP/R2R2K1", "w", "-", "-"});
  EXPECT_EQ(run.out.substr(0, 27), "bestmove a1a8 score 9999\nno");
}

// The bench's node total is a signature of the search's behaviour: any change to how the search
// goes about its work shows here; the game's node total also shows what one search leaves the
// next. (A change that is meant must update the figures, with the reason.) The game's lines end
// in the final position's FEN, full move number included, from the start or from a FEN given.
TEST(Tool, BenchSignatureAndTheGamesFinalFen) {
  Outcome run = Bench({"bench"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\nbench nodes 176168 "), std::string::npos) << run.out;
  run = Bench({"game"});
  EXPECT_NE(run.out.find("\nresult DRAW! plies 106 nodes 2674471 "), std::string::npos);
  EXPECT_TRUE(run.out.ends_with("\nfen 1k6/7B/7p/3b4/8/1p6/5K1P/8 w - - 12 54\n")) << run.out;
  run = Bench({"game", "--plain", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30"});
  EXPECT_EQ(run.out.substr(0, 12), "1 d1d8 score");
  EXPECT_TRUE(run.out.ends_with("\nfen 3R2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 1 30\n")) << run.out;
}

// From a FEN, the game's lines and its PGN are the driver's game: the draw is judged after a move,
// so a halfmove clock already at the fifty-move limit still sees one move.
TEST(Tool, GameAndPgnPlayTheDriversGameFromAFen) {
  for (const char* clock : {"99", "100", "150"}) {
    Outcome game = Bench({"game", "40", "4k3/8/8/8/8/8/8/4K3", "w", "-", "-", clock, "1"});
    Outcome pgn = Bench({"pgn", "40", "4k3/8/8/8/8/8/8/4K3", "w", "-", "-", clock, "1"});
    EXPECT_TRUE(game.out.starts_with("1 e1d2 ") &&
                game.out.find("\nresult DRAW! plies 1 ") != std::string::npos &&
                pgn.out.ends_with("\n\n1. Kd2 {Draw by the fifty-move rule} 1/2-1/2\n\n"))
        << clock << "\n"
        << game.out << pgn.out;
  }
}

// Bad input gets one line on standard error, whatever the input holds (control bytes are shown
// escaped), and status 2. A long argument makes a message larger than a pipe holds.
TEST(Tool, BadInputGetsOneLineAndStatusTwo) {
  const std::string huge = "per\nft" + std::string(100000, 'x');
  // One case for each way in: an unknown command, a FEN, no command at all, a missing depth,
  // perft's option given to search, pgn's count, and a word too many for bench and for game.
  const std::vector<std::vector<const char*>> bad = {
      {huge.c_str(), "1"},
      {"perft", "1", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "w", "KQ\x1b[2J", "-"},
      {},
      {"perft"},
      {"search", "--standard", "2"},
      {"pgn", "3x"},
      {"bench", "extra"},
      {"game", "5", "6"},
  };
  for (const auto& args : bad) {
    Outcome run = Bench(args);
    EXPECT_TRUE(IsRefusal(run, "chessbench: ")) << run.status << " " << run.err.substr(0, 200);
  }
}
