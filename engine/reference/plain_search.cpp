// The plain search.
#include "engine/reference/plain_search.h"

#include "engine/movegen.h"
#include "engine/reference/plain_rules.h"
#include "engine/rules.h"
#include "engine/search.h"

namespace {

// The fields a move changes, saved before it and written back after it.
struct SavedFields {
  std::int32_t board[BOARD_SIZE];
  std::int32_t castleRights, epSquare, halfmoveClock, historyLength, material, plyCount;
  std::int32_t kingSquare[2];
  std::uint64_t occupied[2], pawns[2];
  std::uint32_t hash;
  std::uint64_t key;
};

// Copies the changing fields of pos into saved.
void Save(SavedFields& saved) {
  for (int i = 0; i < BOARD_SIZE; ++i) saved.board[i] = pos.board[i];
  saved.castleRights = pos.castleRights;
  saved.epSquare = pos.epSquare;
  saved.halfmoveClock = pos.halfmoveClock;
  saved.historyLength = pos.historyLength;
  saved.material = pos.material;
  saved.plyCount = pos.plyCount;
  saved.kingSquare[0] = pos.kingSquare[0];
  saved.kingSquare[1] = pos.kingSquare[1];
  saved.occupied[0] = pos.occupied[0];
  saved.occupied[1] = pos.occupied[1];
  saved.pawns[0] = pos.pawns[0];
  saved.pawns[1] = pos.pawns[1];
  saved.hash = pos.hash;
  saved.key = pos.key;
}

// Writes the saved fields back and gives the move back to the side that made it.
void Restore(const SavedFields& saved) {
  pos.side ^= BLACK;
  for (int i = 0; i < BOARD_SIZE; ++i) pos.board[i] = saved.board[i];
  pos.castleRights = saved.castleRights;
  pos.epSquare = saved.epSquare;
  pos.halfmoveClock = saved.halfmoveClock;
  pos.historyLength = saved.historyLength;
  pos.material = saved.material;
  pos.plyCount = saved.plyCount;
  pos.kingSquare[0] = saved.kingSquare[0];
  pos.kingSquare[1] = saved.kingSquare[1];
  pos.occupied[0] = saved.occupied[0];
  pos.occupied[1] = saved.occupied[1];
  pos.pawns[0] = saved.pawns[0];
  pos.pawns[1] = saved.pawns[1];
  pos.hash = saved.hash;
  pos.key = saved.key;
}

// One node of the fail-hard negamax, ply moves below the root.
int PlainNode(int alpha, int beta, int depth, int ply) {
  ++searchNodes;
  if (depth <= 0 || ply >= MAX_PLY) return EvaluateByScan();
  bool inCheck = InCheckByGenerator(pos.side);
  if (inCheck) ++depth;
  MoveList list;
  GenerateMoves(list);
  bool found = false;
  SavedFields saved;
  Save(saved);
  for (int i = 0; i < list.count; ++i) {
    if (!MakeMoveByDefinition(list.moves[i])) continue;
    found = true;
    int score = -PlainNode(-beta, -alpha, depth - 1, ply + 1);
    Restore(saved);
    if (score <= alpha) continue;
    // A fifty-move draw scores 0 whatever the window, so the cut-off too must give 0.
    if (score >= beta) return FiftyMoveLimitReached() ? 0 : beta;
    alpha = score;
    if (ply == 0) bestMove = list.moves[i];
  }
  if (!found) return inCheck ? MateScore() : 0;
  if (FiftyMoveLimitReached()) return 0;
  return alpha;
}

}  // namespace

int PlainSearch(int alpha, int beta, int depth) { return PlainNode(alpha, beta, depth, 0); }
