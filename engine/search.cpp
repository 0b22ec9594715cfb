// The game's search.
#include "engine/search.h"

#include "engine/plain_search.h"

std::uint64_t searchNodes = 0;

int Search(int alpha, int beta, int depth) {
  return PlainSearch(alpha, beta, depth);
}
