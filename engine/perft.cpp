// Perft over the legal move generator, with the last ply counted in bulk: a node one ply from the
// end returns the number of its legal moves without making any of them (see move_visitors.h for
// why the count is exact).
#include "engine/perft.h"

#include "engine/check_record.h"
#include "engine/makemove.h"
#include "engine/move_visitors.h"
#include "engine/set_movegen.h"

namespace {

// The sink that counts the moves the generator would list; a move onto the last rank is four,
// one per promotion piece. HARDWARE: the bits are counted by the CPU's instruction.
template <bool HARDWARE>
struct MoveCounter {
  std::uint64_t count = 0;

  void AddMove(Move) { ++count; }
  void AddPieceMoves(int, std::uint64_t targets) { count += CountBits<HARDWARE>(targets); }
  // A step, a double step and a capture never land on one square (a step's is empty, a
  // capture's is not, and a double step's has no pawn right behind it), so one count serves the
  // three; the captures toward file h may share squares with those toward file a.
  template <int COLOUR>
  void AddPawnMoves(const visitors::PawnMoves& moves) {
    std::uint64_t apart = moves.step | moves.doubleStep | moves.towardA;
    count += CountBits<HARDWARE>(apart) + CountBits<HARDWARE>(moves.towardH);
    constexpr std::uint64_t LAST_RANK = RankBits(RankOf(COLOUR == WHITE ? A8 : A1));
    if ((apart | moves.towardH) & LAST_RANK)
      count += 3 * (CountBits<HARDWARE>(apart & LAST_RANK) +
                    CountBits<HARDWARE>(moves.towardH & LAST_RANK));
  }
};

// Returns the number of legal moves of the side to move, bits counted as HARDWARE says.
template <bool HARDWARE>
[[gnu::always_inline]] inline std::uint64_t CountMoves() {
  MoveCounter<HARDWARE> counter;
  CheckRecord record;
  const MoverKing& king = MoverKingOf(record);
  if (pos.side == WHITE)
    visitors::VisitLegalMoves<WHITE>(counter, king);
  else
    visitors::VisitLegalMoves<BLACK>(counter, king);
  return counter.count;
}

// Returns the perft of depth >= 1, one node's work: the children are counted by `child`, which is
// the function this node is inlined into, so that the whole tree runs in one compiled form. A
// node two plies from the end counts its children's moves itself: a call for each would cost
// more than the count of many of them.
template <bool HARDWARE>
[[gnu::always_inline]] inline std::uint64_t PerftNode(int depth, std::uint64_t (*child)(int)) {
  if (depth == 1) return CountMoves<HARDWARE>();
  MoveList list;
  CheckRecord record;
  GenerateLegalMoves(list, record);
  std::uint64_t nodes = 0;
  for (int i = 0; i < list.count; ++i) {
    Undo undo;
    MakeLegalMove<RULES_ONLY>(list.moves[i], undo);
    nodes += depth == 2 ? CountMoves<HARDWARE>() : child(depth - 1);
    UndoMove<RULES_ONLY>(list.moves[i], undo);
  }
  return nodes;
}

// Returns the perft of depth >= 1, counting bits in place.
std::uint64_t PerftPlain(int depth) { return PerftNode<false>(depth, PerftPlain); }

// The run-time choice of bit count, the one place that asks the processor. An x86-64 build targets
// processors without popcnt too, so the instruction may be used only in code that runs after
// asking: PerftPopcnt alone is compiled for it (gnu::target), and everything it calls is inlined
// into it (gnu::flatten), counter and generator included, since code left out of line would be
// compiled for the plain x86-64 and call the library for each count. A per-function target works
// for every object format, where a loader's choice among clones (ifunc) works for ELF only and so
// not on Windows. Other targets either always have the instruction, which the plain count then
// uses (see BIT_COUNT_INSTRUCTION), or are not asked.
#if defined(__x86_64__) && !defined(__POPCNT__) && defined(__GNUC__)
// Returns the perft of depth >= 1, counting bits with popcnt, which this processor must have.
[[gnu::target("popcnt"), gnu::flatten]] std::uint64_t PerftPopcnt(int depth) {
  return PerftNode<true>(depth, PerftPopcnt);
}

// Returns whether this processor has popcnt; it is asked once.
bool HasPopcnt() {
  static const bool HAS_POPCNT = __builtin_cpu_supports("popcnt");
  return HAS_POPCNT;
}
#else
// Returns the perft by the plain count, the instruction itself wherever the target always has it.
std::uint64_t PerftPopcnt(int depth) { return PerftPlain(depth); }

// Returns false: no processor is asked.
constexpr bool HasPopcnt() { return false; }
#endif

}  // namespace

std::uint64_t Perft(int depth, BitCount bitCount) {
  if (depth <= 0) return 1;
  if (bitCount == CPU_BIT_COUNT && HasPopcnt()) return PerftPopcnt(depth);
  return PerftPlain(depth);
}
