// The slide table, built once at start-up. As a constant it would be evaluated again by every file
// that includes bitboards.h, at a cost in steps beyond what some compilers allow a constant; here
// it costs a few hundred thousand instructions, once.
#include "engine/bitboards.h"

#include <cassert>

namespace {

// Returns the squares a slider on `bit` reaches along line i (one that runs toward lower squares)
// and its opposite, up to and including the first occupied square each way. Along one line the
// squares below `bit` have lower bits than those above it, so the nearest blocker below is the
// highest bit of the occupied part below (bit 0 when there is none: every square below is then
// reached) and the nearest above is the lowest bit of the occupied part above. Twice the second
// minus the first sets exactly the bits from the first to the second; with nothing above, the
// difference wraps round and sets every bit from the first upward.
std::uint64_t SlideAlongLine(int bit, int i, std::uint64_t occupied) {
  std::uint64_t lower = BIT_MASKS.ray[bit][i], upper = BIT_MASKS.ray[bit][OppositeLine(i)];
  std::uint64_t above = upper & occupied;
  std::uint64_t nearestBelow = 1ull << (63 - std::countl_zero((lower & occupied) | 1));
  std::uint64_t nearestAbove = above & (0 - above);
  return (lower | upper) & (2 * nearestAbove - nearestBelow);
}

// Fills the table of KIND from every occupancy of each line's inner squares, the slider's own
// square among them: whether the squares at the line's ends are occupied changes no reach. Two
// occupancies of one case must reach alike; where the cases are numbered wrong they do not, and
// the slide test (and, with assertions, every start-up) fails.
template <int KIND>
void FillSlides(Slides& slides) {
  const int i = LINE_THROUGH[KIND];
  const std::uint64_t ends = KIND == ALONG_FILE ? RankBits(0) | RankBits(RANK_COUNT - 1)
                                                : FileBits(0) | FileBits(FILE_COUNT - 1);
  for (int bit = 0; bit < 64; ++bit) {
    const std::uint64_t inner =
        (BIT_MASKS.ray[bit][i] | BIT_MASKS.ray[bit][OppositeLine(i)] | 1ull << bit) & ~ends;
    [[maybe_unused]] bool filled[64] = {};
    // Every subset of the inner squares, each once, the empty one first and the whole last.
    for (std::uint64_t occupied = 0;; occupied = (occupied - inner) & inner) {
      const int c = LineCase<KIND>(bit, occupied);
      const std::uint64_t reach = SlideAlongLine(bit, i, occupied);
      assert(!filled[c] || slides.reach[KIND][bit][c] == reach);
      slides.reach[KIND][bit][c] = reach;
      filled[c] = true;
      if (occupied == inner) break;
    }
  }
}

// Returns the whole table.
Slides MakeSlides() {
  Slides slides = {};
  FillSlides<DIAGONAL_1>(slides);
  FillSlides<DIAGONAL_2>(slides);
  FillSlides<ALONG_FILE>(slides);
  FillSlides<ALONG_RANK>(slides);
  return slides;
}

}  // namespace

const Slides LINE_REACH = MakeSlides();
