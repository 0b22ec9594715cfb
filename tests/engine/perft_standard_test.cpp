// Perft by the standard castling rule (standardCastling) against a public table of standard
// counts, data/perft-standard.tsv: about 4e9 nodes in all, some seconds for the bulk counter.
// Builds with assertions run only the smaller counts.
#include <cstdint>
#include <fstream>
#include <sstream>

#include "engine/makemove.h"
#include "engine/perft.h"
#include "test_util.h"

#ifdef NDEBUG
constexpr std::uint64_t NODE_LIMIT = UINT64_MAX;
#else
constexpr std::uint64_t NODE_LIMIT = 2000000;  // assertions and sanitizers are slow
#endif

TEST(StandardPerft, MatchesTheTable) {
  std::ifstream file(PERFT_STANDARD_TSV);
  ASSERT_TRUE(file) << "cannot read " << PERFT_STANDARD_TSV;
  standardCastling = true;
  int cases = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string fen;
    int depth = 0;
    std::uint64_t nodes = 0;
    std::getline(fields, fen, '\t');
    fields >> depth >> nodes;
    EXPECT_TRUE(fields) << "bad line: " << line;
    ++cases;
    if (nodes >= NODE_LIMIT) continue;
    SetFen(fen);
    EXPECT_EQ(Perft(depth), nodes) << fen << " depth " << depth;
  }
  standardCastling = false;
  EXPECT_GT(cases, 200);
}
