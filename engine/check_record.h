// The check record: what the two kings of a position face, found once per node, so that moves
// are judged legal and judged to give check without being made. Each half is found the first
// time it is asked for:
//   - the side to move's king (MoverKingOf): the pieces that give check, the squares a move
//     other than the king's must land on, and the pinned pieces with their lines; the legality
//     test, the legal generator and the mobility count read it;
//   - the other king (EnemyKingOf): by piece type, the squares from which a piece of the mover's
//     would attack it, the mover's pieces whose move off their line uncovers an attack on it, and
//     its own pinned pieces; MoveGivesCheck, the quiet checks and the mobility count read it.
// The record belongs to one position: a move made leaves it stale until the move is undone.
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>

#include "engine/attack.h"
#include "engine/bitboards.h"
#include "engine/geometry.h"
#include "engine/position.h"

// BETWEEN.squares[a][b]: the squares strictly between bits a and b along a rank, file or
// diagonal; empty when the two share no line (or are neighbours).
struct BetweenTable {
  std::uint64_t squares[64][64] = {};
};
constexpr BetweenTable MakeBetweenTable() {
  BetweenTable between;
  for (int a = 0; a < 64; ++a)
    for (int i = 0; i < LINE_COUNT; ++i)
      for (std::uint64_t ray = BIT_MASKS.ray[a][i]; ray; ray &= ray - 1) {
        int b = std::countr_zero(ray);
        between.squares[a][b] = BIT_MASKS.ray[a][i] & ~BIT_MASKS.ray[b][i] & ~(1ull << b);
      }
  return between;
}
inline constexpr BetweenTable BETWEEN = MakeBetweenTable();

// A piece pinned to its king: it may move only along `line`, the squares from the king to the
// pinning piece, that one included.
struct Pin {
  int bit;
  std::uint64_t line;
};

// What stands on the lines from one king to the enemy's bishops, rooks and queens.
struct KingLines {
  int king;                 // the king's bit
  std::uint64_t checkers;   // the sliders with nothing between them and the king
  std::uint64_t checkLine;  // the squares between the king and those sliders
  std::uint64_t blockers;   // the pieces, of either colour, alone between the king and a slider
  std::uint64_t pinned;     // the blockers of the king's colour
  Pin pins[LINE_COUNT];     // each pinned piece with its line; a line holds one at most
  int pinCount;
};

// Finds the lines from the king on bit `king`, whose side's pieces are `own`, to the enemy's
// sliders (`diagonal`: its bishops and queens, `straight`: its rooks and queens): each slider on a
// line from the king with no piece between gives check, and with one piece between makes that
// piece a blocker.
inline void FindKingLines(KingLines& lines, int king, std::uint64_t own, std::uint64_t occupied,
                          std::uint64_t diagonal, std::uint64_t straight) {
  lines.king = king;
  lines.checkers = lines.checkLine = lines.blockers = lines.pinned = 0;
  lines.pinCount = 0;
  std::uint64_t snipers =
      (BIT_MASKS.diagonal[king] & diagonal) | (BIT_MASKS.straight[king] & straight);
  for (; snipers; snipers &= snipers - 1) {
    int sniper = LowestBit(snipers);
    std::uint64_t between = BETWEEN.squares[king][sniper], standing = between & occupied;
    if (!standing) {
      lines.checkers |= 1ull << sniper;
      lines.checkLine |= between;
    } else if (!(standing & (standing - 1))) {
      lines.blockers |= standing;
      if (!(standing & own)) continue;
      lines.pinned |= standing;
      lines.pins[lines.pinCount++] = {LowestBit(standing), between | 1ull << sniper};
    }
  }
}

// The side to move's king.
struct MoverKing {
  KingLines lines;  // the pinned pieces are the mover's
  // Every enemy piece that attacks the king, and on a square claimed by an enemy castling right,
  // the rook of that castling: as a right is never won back, only taking that rook on its home
  // square (which clears the right) leaves the king there unattacked.
  std::uint64_t checkers;
  // The squares a move other than the king's must land on: every square out of check, the checker
  // or a square between it and the king in single check, none in double check; where the king
  // stands on a claimed square, at most the claiming rook's.
  std::uint64_t evasions;
  std::uint64_t claimed;  // the squares the enemy's castling rights claim: no king may step there
};

// The other side's king, never in check.
struct EnemyKing {
  KingLines lines;                // the pinned pieces are the enemy's
  int square;                     // the king's square
  std::uint64_t checkSquares[8];  // by the mover's piece type; a king checks from nowhere
  std::uint64_t uncovering;       // the mover's blockers: leaving their line, each gives check
};

struct CheckRecord {
  // Nothing is found yet: a record costs nothing until a half is asked for. A caller that knows
  // the side to move is not in check says so (outOfCheck), which spares the half of its king for
  // the many moves of pieces that stand on no line from it: such a piece is never pinned.
  explicit CheckRecord(bool outOfCheck = false)
      : moverFound(false), enemyFound(false), outOfCheck(outOfCheck) {
    assert(!outOfCheck || !InCheck(pos.side));
  }
  bool moverFound, enemyFound, outOfCheck;
  MoverKing mover;
  EnemyKing enemy;
};

// Returns true when the record knows without finding its half that a piece of the side to move on
// `square` may move (but for a king, castling or en passant) wherever it goes: its king is out of
// check and no line from it passes that square.
inline bool MovesFreely(const CheckRecord& record, int square) {
  return record.outOfCheck && !LINE_STEP.step[pos.kingSquare[ColourIndex(pos.side)]][square];
}

void FindMoverKing(CheckRecord& record);
void FindEnemyKing(CheckRecord& record);

// Returns what the side to move's king faces, found the first time it is asked for.
inline const MoverKing& MoverKingOf(CheckRecord& record) {
  if (!record.moverFound) FindMoverKing(record);
  return record.mover;
}

// Returns what the other king faces, found the first time it is asked for.
inline const EnemyKing& EnemyKingOf(CheckRecord& record) {
  if (!record.enemyFound) FindEnemyKing(record);
  return record.enemy;
}

// Returns true when the en-passant capture of the side to move from `from` onto `to` leaves its
// king unattacked. Two pawns leave one rank and one lands beside it, which can uncover an attack
// along that rank that no pin shows, so the capture is made on the sets and the king looked at.
// Nothing it takes clears a castling right, so it never frees a king on a claimed square.
bool IsEnPassantLegal(int from, int to, const MoverKing& king, const Army& enemy);

// Returns true when a castling, en passant or promotion of the side to move gives check. Each
// moves or removes more than one piece, or changes one, so the move is made on the occupancy and
// the mover's army, and the enemy king on bit `king` looked at: the rook, the pawn or the
// promoted piece may check, and so may a slider through any square the move empties.
bool SpecialMoveGivesCheck(int king, Move move);

// Returns true when a move of the side to move gives check, judged before it is made.
inline bool MoveGivesCheck(CheckRecord& record, Move move) {
  const EnemyKing& enemy = EnemyKingOf(record);
  int from = MoveFrom(move), to = MoveTo(move);
  if (MoveFlags(move) & (MF_CASTLE | MF_EN_PASSANT | MF_PROMOTION))
    return SpecialMoveGivesCheck(enemy.lines.king, move);
  // Squares on one line from the king lie on no other line from it, so a path from `to` to the
  // king never crosses `from` unless both lie on one line from the king, where a piece of the
  // mover's would already stand between or give check. A capture only takes a piece off the
  // square the mover then stands on, so it opens no line either.
  if (enemy.uncovering & SquareMask(from) &&
      LINE_STEP.step[enemy.square][to] != LINE_STEP.step[enemy.square][from])
    return true;
  return enemy.checkSquares[TypeOf(pos.board[from])] & SquareMask(to);
}
