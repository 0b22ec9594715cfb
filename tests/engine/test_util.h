// Helpers shared by the engine tests: setting positions up, naming moves, comparing positions and
// walking random legal games.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/notation.h"
#include "engine/position.h"
#include "engine/rules.h"

// Sets pos from a FEN the test relies on; a bad one fails the test at once.
inline void SetFen(const std::string& fen) {
  std::string error;
  ASSERT_TRUE(SetPositionFromFen(fen, error)) << fen << ": " << error;
}

// The generated moves of the side to move in coordinate notation, in generation order.
inline std::string GeneratedMoves() {
  MoveList list;
  GenerateMoves(list);
  std::string text;
  for (int i = 0; i < list.count; ++i) {
    if (i > 0) text += ' ';
    text += MoveToString(list.moves[i]);
  }
  return text;
}

// The generated move with this coordinate notation, or NO_MOVE.
inline Move FindMove(const std::string& name) {
  MoveList list;
  GenerateMoves(list);
  for (int i = 0; i < list.count; ++i)
    if (MoveToString(list.moves[i]) == name) return list.moves[i];
  return NO_MOVE;
}

// True when every field of the two positions that the rules read or write is the same.
inline bool SamePosition(const Position& a, const Position& b) {
  return std::memcmp(a.board, b.board, sizeof a.board) == 0 && a.side == b.side &&
         a.epSquare == b.epSquare && a.castleRights == b.castleRights &&
         a.halfmoveClock == b.halfmoveClock && a.fullmoveNumber == b.fullmoveNumber &&
         a.historyLength == b.historyLength && a.hash == b.hash &&
         std::memcmp(a.history, b.history, sizeof a.history[0] * a.historyLength) == 0 &&
         a.kingSquare[0] == b.kingSquare[0] && a.kingSquare[1] == b.kingSquare[1] &&
         a.occupied[0] == b.occupied[0] && a.occupied[1] == b.occupied[1] &&
         std::memcmp(a.pieces, b.pieces, sizeof a.pieces) == 0 && a.material == b.material &&
         a.key == b.key && a.plyCount == b.plyCount &&
         (a.plyCount == 0 ||
          a.keyRing[(a.plyCount - 1) % KEY_RING] == b.keyRing[(b.plyCount - 1) % KEY_RING]);
}

// Starting points for random games, rich in checks, pins, promotions, en passant, castling with
// every quirk, few pieces, and halfmove clocks close to the fifty-move limit.
inline const char* const WALK_STARTS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "r6r/1b2k1bq/8/8/7B/8/8/R3K2R b KQ - 3 2",
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 90 50",
    "4k3/8/8/3q4/8/8/3Q4/4K3 w - - 95 60",
    "6k1/5ppp/8/8/8/8/r4PPP/3R2K1 w - - 97 70",
    "8/8/3k4/8/3K4/8/3P4/8 w - - 0 1",
    "8/2k5/8/3pP3/8/8/8/4K3 w - d6 0 1",  // the pawn that takes en passant gives check
    "4r1k1/8/8/8/8/3n4/8/4K3 w - - 0 1",  // double checks
    "4k3/8/3N4/8/8/8/8/4R1K1 b - - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",  // en passant, pinned too
    "8/8/8/8/k2Pp2Q/8/8/3K4 b - d3 0 1",
    "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
    "4k3/8/8/8/8/8/4p2p/R3K2R w KQ - 0 1",           // pawn diagonals over the castling squares
    "r3k2r/1P4P1/8/8/8/8/1p4p1/R3K2R w KQkq - 0 1",  // and pawn steps onto them
    "r3k2r/2P1P3/8/8/8/8/8/R3K2R b KQkq - 0 1",
    "rn2k3/2K5/8/8/8/8/8/8 w q - 0 1",  // c8 attacked only by black's castling right
    "rnK1k3/8/8/8/8/8/8/7R w q - 0 1",  // and the king already stands there
    "4k1Kr/8/8/8/8/8/8/7R w k - 0 1",   // until taking the rook clears the right
    "8/8/8/8/8/8/2k5/RN2K3 b Q - 0 1",
};
inline constexpr int WALK_START_COUNT = static_cast<int>(std::size(WALK_STARTS));

// Plays up to `plies` random legal moves from fen, calling visit() at every position before a
// move is chosen; stops early when there is no legal move or visit returns false. Returns the
// number of positions visited.
template <typename Visit>
int RandomGame(const char* fen, std::mt19937& rng, int plies, Visit visit) {
  SetFen(fen);
  int visited = 0;
  for (int ply = 0; ply < plies; ++ply) {
    ++visited;
    if (!visit()) break;
    MoveList legal;
    ListLegalMoves(legal);
    if (legal.count == 0) break;
    EXPECT_TRUE(MakeMove(legal.moves[rng() % legal.count]));
  }
  return visited;
}
