// The move generators over the piece sets. The legal generator gives the moves of the side to
// move that MakeMove would accept, found from the checkers and pinned pieces without making any:
// perft's tree and its bulk counter walk it, and so does the search at a node in check. For a
// side not in check the search takes its moves in stages, pseudo-legal, from the same sets and
// slides: captures and promotions, then the quiet moves or only those that give check.
//
// Why the legal generator is exact. A move is legal when MakeMove accepts it: it captures no king
// and leaves the mover's king unattacked, judged after the move. The king stands on an occupied
// square, where the rules' attack is the ordinary one (pawns capture diagonally, pieces step or
// slide onto it), with one quirk: the king's destination of an enemy castling move still allowed by
// the rights counts as attacked. So, as in standard chess, a king move is legal when nothing
// attacks its destination with the king lifted off the board, and any other move when the piece is
// not pinned (or stays on its pin line) and, in check, captures the one checker or blocks its line.
// The quirk adds: a king may not step onto such a destination; and the moves of a king that
// stands on one (only a set-up position can have that) are made to be judged. Castling asks the
// castling rule; en passant is judged on the sets below.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/bitboards.h"
#include "engine/castling.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/position.h"

// Fills list with the legal moves of the side to move, in no fixed order.
void GenerateLegalMoves(MoveList& list);

// The search's generators for a side to move that is not in check, in no fixed order and
// pseudo-legal (MakeMove or IsLegal then judges each: only a line the move opens can matter).
// Captures (en passant included) and promotions: the moves that change the material.
void GenerateCaptures(MoveList& list);
// The other moves of GenerateMoves: quiet steps and slides, pawn steps that do not promote, and
// castling.
void GenerateQuietMoves(MoveList& list);
// Those of GenerateQuietMoves' moves that give check (as checks tells, see attack.h), and
// castling.
void GenerateQuietChecks(MoveList& list, const CheckSquares& checks);

namespace legal {

// Returns set moved `rows` rows forward as COLOUR sees it.
template <int COLOUR>
constexpr std::uint64_t Ahead(std::uint64_t set, int rows) {
  return COLOUR == WHITE ? set >> rows * ROW_BITS : set << rows * ROW_BITS;
}

// Returns true when castling of COLOUR, allowed by the rights, with the cells between king and
// rook empty and the king not in check, is legal. The castling rule's squares must not be
// attacked as the empty squares they are: a pawn that could step onto one attacks it, a pawn's
// diagonal does not (unless the standard-chess switch says it does), and no enemy castling right
// or en-passant square claims a square of the own back rank. Then the king on its destination,
// one of those squares, must not be attacked as a piece is. The lines through that square are
// blocked alike before the move and after it (by the king, then by the rook, on the side the king
// comes from; nothing lies beyond the rook's home), so only the pawns' diagonals remain to ask.
template <int COLOUR>
bool IsCastlingLegal(const Castling& castling, std::uint64_t occupied, const Army& army) {
  std::uint64_t stepped = Ahead<COLOUR ^ BLACK>(army.pawns, 1);
  auto attacked = [&](int square, int) {
    return (stepped & SquareMask(square)) || IsReachedByPiece(SquareBit(square), occupied, army);
  };
  return CastlingSquaresSafe(castling, attacked) &&
         !(BIT_MASKS.pawnCapture[ColourIndex(COLOUR)][SquareBit(castling.kingTo)] & army.pawns);
}

// A set of pawn moves of each kind, by destination.
struct PawnMoves {
  std::uint64_t step, doubleStep, towardA, towardH;  // towardA: captures toward file a
};

// Hands the moves of `pawns` of COLOUR that land on `allowed` (steps onto empty squares,
// captures onto `victims`) to the sink. En passant is not among them.
template <int COLOUR, typename Sink>
void VisitPawnMoves(Sink& sink, std::uint64_t pawns, std::uint64_t empty, std::uint64_t victims,
                    std::uint64_t allowed) {
  // A double step passes the square of a single step from the start rank: the third rank.
  constexpr std::uint64_t THIRD_RANK = RankBits(RankOf(COLOUR == WHITE ? A3 : A6));
  std::uint64_t step = Ahead<COLOUR>(pawns, 1) & empty;
  std::uint64_t doubleStep = Ahead<COLOUR>(step & THIRD_RANK, 1) & empty & allowed;
  // A capture toward file a is a step forward and one bit down; toward file h one bit up.
  std::uint64_t towardA = (Ahead<COLOUR>(pawns & ~FileBits(0), 1) >> 1) & victims & allowed;
  std::uint64_t towardH =
      (Ahead<COLOUR>(pawns & ~FileBits(FILE_COUNT - 1), 1) << 1) & victims & allowed;
  sink.template AddPawnMoves<COLOUR>(PawnMoves{step & allowed, doubleStep, towardA, towardH});
}

// Hands the moves of the knights, bishops, rooks and queens of COLOUR among `movers` to the sink:
// each piece's reach, onto targets(type, bit) for its type and square. A slider slides only where
// its lines hold a target.
template <int COLOUR, typename Sink, typename Targets>
void VisitPieceMoves(Sink& sink, std::uint64_t movers, std::uint64_t occupied, Targets targets) {
  const std::uint64_t* p = pos.pieces;
  for (std::uint64_t set = p[COLOUR | KNIGHT] & movers; set; set &= set - 1)
    sink.AddPieceMoves(LowestBit(set),
                       BIT_MASKS.knight[LowestBit(set)] & targets(KNIGHT, LowestBit(set)));
  auto slide = [&](int bit, int type, std::uint64_t lines, auto slider) {
    if (std::uint64_t onto = targets(p[COLOUR | QUEEN] >> bit & 1 ? QUEEN : type, bit);
        lines & onto)
      sink.AddPieceMoves(bit, slider(bit, occupied) & onto);
  };
  for (std::uint64_t set = (p[COLOUR | BISHOP] | p[COLOUR | QUEEN]) & movers; set; set &= set - 1)
    slide(LowestBit(set), BISHOP, BIT_MASKS.diagonal[LowestBit(set)], SlideDiagonally);
  for (std::uint64_t set = (p[COLOUR | ROOK] | p[COLOUR | QUEEN]) & movers; set; set &= set - 1)
    slide(LowestBit(set), ROOK, BIT_MASKS.straight[LowestBit(set)], SlideStraight);
}

// A piece pinned to its king: it may move only along `line`, the squares from the king to the
// pinning piece, that one included.
struct Pin {
  int bit;
  std::uint64_t line;
};

// What threatens the king of the side to move: the pieces giving check, the squares between the
// king and a checking slider, and the pinned pieces with their lines.
struct KingDanger {
  std::uint64_t checkers = 0, checkLine = 0, pinned = 0;
  Pin pins[8];
  int pinCount = 0;
};

// Finds what threatens the king on bit `king` of COLOUR, whose pieces are `own`, from the enemy
// army. Along each line from the king, the first piece and the one beyond it: an enemy slider
// first gives check; an own piece first, an enemy slider next, pins the own one.
template <int COLOUR>
void FindKingDanger(KingDanger& danger, int king, std::uint64_t own, std::uint64_t occupied,
                    const Army& army) {
  constexpr int OWN = ColourIndex(COLOUR);
  danger.checkers =
      (BIT_MASKS.pawnCapture[OWN][king] & army.pawns) | (BIT_MASKS.knight[king] & army.knights);
  auto lookAlong = [&](int i, std::uint64_t sliders) {
    std::uint64_t ray = BIT_MASKS.ray[king][i];
    std::uint64_t snipers = ray & sliders;
    if (!snipers) return;
    std::uint64_t blockers = ray & occupied;
    int first = NearestOnLine(i, blockers);
    if (snipers & 1ull << first) {
      danger.checkers |= 1ull << first;
      danger.checkLine |= ray ^ BIT_MASKS.ray[first][i];
      return;
    }
    std::uint64_t beyond = blockers ^ 1ull << first;
    if (!(own & 1ull << first) || !(beyond & snipers)) return;
    int second = NearestOnLine(i, beyond);
    if (!(snipers & 1ull << second)) return;
    danger.pinned |= 1ull << first;
    danger.pins[danger.pinCount++] = {first, ray ^ BIT_MASKS.ray[second][i]};
  };
  bool diagonals = BIT_MASKS.diagonal[king] & army.diagonal;
  bool straights = BIT_MASKS.straight[king] & army.straight;
  for (int i = 0; i < LINE_COUNT; ++i) {
    if (IsDiagonal(LINES[i]) ? diagonals : straights)
      lookAlong(i, IsDiagonal(LINES[i]) ? army.diagonal : army.straight);
  }
}

// Returns true when the en-passant capture from bit `from` onto `to` leaves the king on `king`
// unattacked. Two pawns leave one rank and one lands beside it, which can uncover an attack along
// that rank that no pin test sees, so the capture is made on the sets and the king looked at.
template <int COLOUR>
bool IsEnPassantLegal(int from, int to, int king, std::uint64_t occupied, Army army) {
  int victim = to + (COLOUR == WHITE ? ROW_BITS : -ROW_BITS);  // the pawn that passed `to`
  army.pawns &= ~(1ull << victim);
  occupied ^= 1ull << from | 1ull << to | 1ull << victim;
  return !IsBitAttacked(king, occupied, army, ColourIndex(COLOUR));
}

// Hands every legal move of COLOUR, the side to move, to the sink (see the top). The sink takes
// AddPieceMoves(from bit, destinations), AddPawnMoves<COLOUR>(PawnMoves) and AddMove(move).
template <int COLOUR, typename Sink>
void VisitLegalMoves(Sink& sink) {
  constexpr int ENEMY = COLOUR ^ BLACK, OWN = ColourIndex(COLOUR);
  const std::uint64_t own = pos.occupied[OWN], enemy = pos.occupied[ColourIndex(ENEMY)];
  const std::uint64_t occupied = own | enemy;
  const int king = SquareBit(pos.kingSquare[OWN]);
  const Army army = ArmyOf(ENEMY);
  // The enemy king is never attacked (MakeMove and the FEN reader see to it), so no move handed
  // on below captures it, as none may.
  assert(!IsAttacked(pos.kingSquare[ColourIndex(ENEMY)], COLOUR));
  const std::uint64_t claimed = CastlingClaims(ENEMY);
  if (claimed & 1ull << king) {
    // Only a set-up position has this (a king never steps onto a claimed square, and a right
    // never comes back), so the moves are judged one by one by the legality test, which reads
    // only what the rules read (a search may ask after a move made in the rules-only scope).
    MoveList list;
    GenerateMoves(list);
    for (int i = 0; i < list.count; ++i)
      if (IsLegal(list.moves[i])) sink.AddMove(list.moves[i]);
    return;
  }

  KingDanger danger;
  FindKingDanger<COLOUR>(danger, king, own, occupied, army);
  const std::uint64_t checkers = danger.checkers;

  // King moves: onto squares nothing attacks once the king has left its own (a slider's line
  // through it would otherwise seem blocked by the king itself).
  const std::uint64_t withoutKing = occupied ^ 1ull << king;
  std::uint64_t kingTargets = 0;
  for (std::uint64_t to = BIT_MASKS.king[king] & ~own & ~claimed; to; to &= to - 1)
    if (!IsBitAttacked(LowestBit(to), withoutKing, army, OWN)) kingTargets |= to & (0 - to);
  sink.AddPieceMoves(king, kingTargets);

  if (!(checkers & (checkers - 1))) {  // in double check only the king can move
    // Every other move lands on a square not holding an own piece; in check, on the checker or
    // a square between it and the king. A pinned piece cannot move in check: its line and the
    // checker's share only the king's square.
    std::uint64_t targets = ~own;
    if (checkers) targets &= checkers | danger.checkLine;
    const std::uint64_t free = ~danger.pinned;
    VisitPawnMoves<COLOUR>(sink, pos.pieces[COLOUR | PAWN] & free, ~occupied, enemy, targets);
    VisitPieceMoves<COLOUR>(sink, free, occupied, [targets](int, int) { return targets; });
    if (!checkers) {
      for (int p = 0; p < danger.pinCount; ++p) {
        int bit = danger.pins[p].bit;
        std::uint64_t allowed = targets & danger.pins[p].line, reach = 0;
        int type = TypeOf(pos.board[BitSquare(bit)]);
        if (type == PAWN) VisitPawnMoves<COLOUR>(sink, 1ull << bit, ~occupied, enemy, allowed);
        if (type == BISHOP || type == QUEEN) reach |= SlideDiagonally(bit, occupied);
        if (type == ROOK || type == QUEEN) reach |= SlideStraight(bit, occupied);
        if (reach & allowed) sink.AddPieceMoves(bit, reach & allowed);
      }
      for (int c = 0; c < CASTLING_COUNT; ++c) {
        const Castling& castling = CASTLINGS[c];
        if (castling.colour == COLOUR && pos.castleRights & castling.right &&
            !(occupied & CASTLING_BETWEEN[c]) && IsCastlingLegal<COLOUR>(castling, occupied, army))
          sink.AddMove(EncodeMove(castling.kingFrom, castling.kingTo, 0, MF_CASTLE));
      }
    }
  }
  if (int epSquare = pos.epSquare; epSquare != NO_SQUARE) {
    for (int from : {Behind(epSquare, COLOUR) + WEST, Behind(epSquare, COLOUR) + EAST})
      if (pos.board[from] == (COLOUR | PAWN) &&
          IsEnPassantLegal<COLOUR>(SquareBit(from), SquareBit(epSquare), king, occupied, army))
        sink.AddMove(EncodeMove(from, epSquare, 0, MF_PAWN | MF_CAPTURE | MF_EN_PASSANT));
  }
}

}  // namespace legal
