// SAN: moves written as players write them, and read back from SAN or coordinate notation.
#include "engine/san.h"

#include "test_util.h"

// Moves written in known positions, and text read in them: variants of SAN, coordinates, and
// what is not one legal move, refused with the reason.
TEST(San, WritesAndReadsKnownPositions) {
  const char* knights = "4k3/8/8/8/8/8/8/1N3NK1 w - - 0 1";
  const char* promotion = "r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1";
  const char* pinned = "4k3/8/8/b7/8/2N3N1/8/4K3 w - - 0 1";
  const char* written[][3] = {
      {knights, "b1d2", "Nbd2"},                              // by file
      {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a1a3", "R1a3"},    // by rank
      {"1k6/8/8/8/7Q/8/8/K3Q2Q w - - 0 1", "h1e4", "Qh1e4"},  // by both
      {"1k6/8/8/8/7Q/8/8/K3Q2Q w - - 0 1", "e1e4", "Qee4"},
      // The knight on c3 is pinned to its king, so it does not make Ng3's moves ambiguous.
      {pinned, "g3e4", "Ne4"},
      {promotion, "b7a8q", "bxa8=Q+"},
      {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", "O-O+"},
      {"3k4/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1", "O-O-O+"},
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "d1d8", "Rd8#"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6"},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "a8a1", "Rxa1+"},
  };
  for (const auto& [fen, move, san] : written) {
    SetFen(fen);
    ASSERT_NE(FindMove(move), NO_MOVE) << move << " in " << fen;
    EXPECT_EQ(MoveToSan(FindMove(move)), san) << fen;
  }
  const char* read[][3] = {
      {knights, "Nbd2+!?", "b1d2"},
      {knights, "Nb1d2", "b1d2"},
      {knights, "Nd2", "error: ambiguous: Nbd2 or Nfd2"},
      {knights, "N1d2", "error: ambiguous: Nbd2 or Nfd2"},
      {knights, "Nxe3", "error: no legal move fits it"},
      {knights, "", "error: not a move in SAN or coordinate notation"},
      {knights, "Nf3=Q", "error: not a move in SAN or coordinate notation"},
      {pinned, "Nce4", "error: no legal move fits it"},
      {pinned, "Ne4", "g3e4"},
      {promotion, "bxa8Q", "b7a8q"},
      {promotion, "ba8=n", "b7a8n"},
      {promotion, "b8", "error: ambiguous: b8=N or b8=B or b8=R+ or b8=Q+"},
      {promotion, "b7b8", "error: ambiguous: b8=N or b8=B or b8=R+ or b8=Q+"},
      {promotion, "b7b8k", "error: not a move in SAN or coordinate notation"},
      {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "0-0", "e1g1"},
      {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "Kg1", "error: no legal move fits it"},
      {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O-O", "error: no legal move fits it"},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6e.p.", "e5d6"},
  };
  for (const auto& [fen, text, expected] : read) {
    SetFen(fen);
    std::string error;
    Move move = ParseMove(text, error);
    EXPECT_EQ(move == NO_MOVE ? "error: " + error : MoveToString(move), expected) << fen << text;
  }
}

// Over every legal move of every position of random games from rich positions: each move's SAN
// reads back as the move (so no two moves share one), as does its coordinate form.
TEST(San, RoundTripsEveryLegalMoveOfRandomGames) {
#ifdef NDEBUG
  const int games = 160;
#else
  const int games = 20;  // sanitizer builds are many times slower
#endif
  std::mt19937 random(20240601);
  int positions = 0;
  for (int game = 0; game < games; ++game)
    positions += RandomGame(WALK_STARTS[game % WALK_START_COUNT], random, 200, [] {
      MoveList legal;
      ListLegalMoves(legal);
      for (int i = 0; i < legal.count; ++i) {
        Move move = legal.moves[i];
        std::string san = MoveToSan(move), error;
        EXPECT_EQ(ParseMove(san, error), move) << san << " in " << PositionToFen() << error;
        EXPECT_EQ(ParseMove(MoveToString(move), error), move) << PositionToFen() << error;
      }
      return !HasFailure();
    });
  EXPECT_GT(positions, 1000);
}
