// Perft by the standard castling rule (standardCastling) against a public table of standard
// counts, data/perft-standard.tsv: about 4e9 nodes in all, so the table is dealt into shards that
// ctest runs side by side. Builds with assertions (no NDEBUG) run only the counts below
// DEBUG_NODE_LIMIT.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/makemove.h"
#include "engine/perft.h"
#include "test_util.h"

namespace {

constexpr int SHARDS = 16;
constexpr std::uint64_t DEBUG_NODE_LIMIT = 2000000;

struct PerftCase {
  std::string fen;
  int depth;
  std::uint64_t nodes;
};

// Returns the cases of shard, dealing the table's cases, largest first, each to the shard with
// the fewest nodes so far, so that shards take about the same time.
std::vector<PerftCase> ShardCases(int shard) {
  std::ifstream file(PERFT_STANDARD_TSV);
  EXPECT_TRUE(file) << "cannot read " << PERFT_STANDARD_TSV;
  std::vector<PerftCase> all;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    PerftCase c;
    std::getline(fields, c.fen, '\t');
    fields >> c.depth >> c.nodes;
    EXPECT_TRUE(fields) << "bad line: " << line;
    all.push_back(c);
  }
  EXPECT_GT(all.size(), 200u);
  std::stable_sort(all.begin(), all.end(),
                   [](const PerftCase& a, const PerftCase& b) { return a.nodes > b.nodes; });
  std::vector<std::uint64_t> load(SHARDS);
  std::vector<PerftCase> mine;
  for (const PerftCase& c : all) {
    int lightest = static_cast<int>(std::min_element(load.begin(), load.end()) - load.begin());
    load[lightest] += c.nodes;
    if (lightest == shard) mine.push_back(c);
  }
  return mine;
}

class StandardPerft : public testing::TestWithParam<int> {};

TEST_P(StandardPerft, MatchesTheTable) {
  standardCastling = true;
  for (const PerftCase& c : ShardCases(GetParam())) {
#ifndef NDEBUG
    if (c.nodes >= DEBUG_NODE_LIMIT) continue;
#endif
    SetFen(c.fen);
    EXPECT_EQ(Perft(c.depth), c.nodes) << c.fen << " depth " << c.depth;
  }
  standardCastling = false;
}

INSTANTIATE_TEST_SUITE_P(Shard, StandardPerft, testing::Range(0, SHARDS));

}  // namespace
