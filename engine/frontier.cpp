// The last ply of the search. Every child of a frontier node is a leaf scored by material alone,
// so the node's value is its material plus the most that one legal move gains: the captured
// piece, and for a promotion the new piece less the pawn. Quiet moves gain nothing. So instead of
// trying every move, the node looks for the most valuable legal capture or promotion, and
// otherwise only needs to know that some legal move exists (if none, it is stalemate: 0).
#include "engine/frontier.h"

#include <bit>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/evaluate.h"
#include "engine/makemove.h"
#include "engine/rules.h"
#include "engine/set_movegen.h"

namespace {

// Returns the most a legal capture or promotion gains, or -1 when there is none: trying them by
// falling gain, the first legal one decides. With a gain of at least `enough`, any legal one
// will do, and its gain is returned at once.
int BestGain(int enough, CheckRecord& record) {
  MoveList list;
  GenerateCaptures(list);
  int gains[MAX_MOVES];
  for (int i = 0; i < list.count; ++i) {
    gains[i] = MaterialGain(list.moves[i]);
    if (gains[i] >= enough && IsLegal(list.moves[i], record)) return gains[i];
    if (gains[i] >= enough) gains[i] = -1;  // known illegal
  }
  for (;;) {
    int best = -1;
    for (int i = 0; i < list.count; ++i)
      if (gains[i] >= 0 && (best < 0 || gains[i] > gains[best])) best = i;
    if (best < 0) return -1;
    if (IsLegal(list.moves[best], record)) return gains[best];
    gains[best] = -1;
  }
}

// Frontier values found before, by position key.
struct FrontierEntry {
  std::uint64_t key;
  std::int16_t value;
  bool exact;  // else a lower bound
};
constexpr std::size_t FRONTIER_CACHE_SIZE = 1 << 14;
FrontierEntry frontierCache[FRONTIER_CACHE_SIZE];

}  // namespace

int FrontierValue(int beta, std::uint64_t& nodes) {
  // A frontier node's value depends on nothing but the position (its children are leaves, the
  // clock was looked at before), so values found once serve again, in any search: exact ones
  // always, lower bounds where they reach beta.
  FrontierEntry& entry = frontierCache[pos.key & (FRONTIER_CACHE_SIZE - 1)];
  if (entry.key == pos.key && (entry.exact || entry.value >= beta)) return entry.value;
  auto remember = [&](int value, bool exact) {
    entry = {pos.key, static_cast<std::int16_t>(value), exact};
    return value;
  };
  int standing = Evaluate();
  CheckRecord record(true);
  // With a legal move the value is at least the material now, so at or above beta that will do.
  if (standing >= beta && HasLegalMove(record)) return remember(standing, false);
  // A capture or promotion that gains enough to reach beta settles the node at once (a lower
  // bound); otherwise the best legal one gives the exact value.
  int gain = BestGain(beta - standing, record);
  if (gain >= 0) {
    ++nodes;  // the leaf that decides
    return remember(standing + gain, gain < beta - standing);
  }
  // 0: stalemate
  return remember(HasLegalMove(record) ? standing : 0, true);
}

void ClearFrontierCache() {
  for (FrontierEntry& entry : frontierCache) entry = FrontierEntry{};
}
