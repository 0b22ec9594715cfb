// The walks over the piece sets that the move generators of set_movegen.h are built from, and
// that perft counts with: each hands the moves it finds to a sink, as a destination set per
// piece (AddPieceMoves), the pawns' moves by kind (AddPawnMoves) and single moves (AddMove), so
// that one sink lists them and another only counts them. Only the generators' source file and
// perft include this header.
//
// Why the legal walk is exact. A move is legal when the mover's king is left unattacked and no
// king is taken. The king stands on an occupied square, where the rules' attack is the ordinary
// one (pawns capture diagonally, pieces step or slide onto it), with one quirk: the king's
// destination of an enemy castling move still allowed by the rights counts as attacked. So, as in
// standard chess, a king move is legal when nothing attacks its destination with the king lifted
// off the board, and any other move when the piece is not pinned (or stays on its pin line) and,
// in check, captures the one checker or blocks its line. The quirk adds: a king may not step onto
// such a destination, and a king that stands on one (only a set-up position can have that) is
// freed only by taking the claiming rook, which the check record counts among the checkers.
// Castling asks the castling rule; en passant is judged on the sets (IsEnPassantLegal).
#pragma once

#include <cassert>
#include <cstdint>
#include <initializer_list>

#include "engine/attack.h"
#include "engine/bitboards.h"
#include "engine/castling.h"
#include "engine/check_record.h"
#include "engine/position.h"

namespace visitors {

// Returns set moved `rows` rows forward as COLOUR sees it.
template <int COLOUR>
constexpr std::uint64_t Ahead(std::uint64_t set, int rows) {
  return COLOUR == WHITE ? set >> rows * ROW_BITS : set << rows * ROW_BITS;
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

// Hands the castlings of COLOUR that the rights allow and allowed(castling) accepts to the sink,
// king-side first.
template <int COLOUR, typename Sink, typename Allowed>
void VisitCastlings(Sink& sink, Allowed allowed) {
  for (const Castling& castling : CASTLINGS)
    if (castling.colour == COLOUR && pos.castleRights & castling.right && allowed(castling))
      sink.AddMove(EncodeMove(castling.kingFrom, castling.kingTo, 0, MF_CASTLE));
}

// Hands the en-passant captures of COLOUR that allowed(from square) accepts to the sink: from each
// side of the pawn that has just passed the en-passant square, file a's first.
template <int COLOUR, typename Sink, typename Allowed>
void VisitEnPassant(Sink& sink, Allowed allowed) {
  int epSquare = pos.epSquare;
  if (epSquare == NO_SQUARE) return;
  for (int from : {Behind(epSquare, COLOUR) + WEST, Behind(epSquare, COLOUR) + EAST})
    if (pos.board[from] == (COLOUR | PAWN) && allowed(from))
      sink.AddMove(EncodeMove(from, epSquare, 0, MF_PAWN | MF_CAPTURE | MF_EN_PASSANT));
}

// Hands every legal move of COLOUR, the side to move, to the sink (see the top). The sink takes
// AddPieceMoves(from bit, destinations), AddPawnMoves<COLOUR>(PawnMoves) and AddMove(move).
template <int COLOUR, typename Sink>
void VisitLegalMoves(Sink& sink, const MoverKing& safety) {
  constexpr int OWN = ColourIndex(COLOUR);
  const std::uint64_t own = pos.occupied[OWN], enemy = pos.occupied[ColourIndex(COLOUR ^ BLACK)];
  const std::uint64_t occupied = own | enemy;
  const int king = safety.lines.king;
  const Army army = ArmyOf(COLOUR ^ BLACK);
  // The enemy king is never attacked (MakeMove and the FEN reader see to it), so no move handed
  // on below captures it, as none may.
  assert(!IsAttacked(pos.kingSquare[ColourIndex(COLOUR ^ BLACK)], COLOUR));

  // King moves: onto squares nothing attacks once the king has left its own (a slider's line
  // through it would otherwise seem blocked by the king itself) and no castling right claims.
  const std::uint64_t withoutKing = occupied ^ 1ull << king;
  std::uint64_t kingTargets = 0;
  for (std::uint64_t to = BIT_MASKS.king[king] & ~own & ~safety.claimed; to; to &= to - 1)
    if (!IsBitAttacked(LowestBit(to), withoutKing, army, OWN)) kingTargets |= to & (0 - to);
  sink.AddPieceMoves(king, kingTargets);

  // Every other move lands on a square not holding an own piece, among the evasions; a pinned
  // piece, on its line too.
  if (const std::uint64_t targets = ~own & safety.evasions) {
    const std::uint64_t free = ~safety.lines.pinned;
    VisitPawnMoves<COLOUR>(sink, pos.pieces[COLOUR | PAWN] & free, ~occupied, enemy, targets);
    VisitPieceMoves<COLOUR>(sink, free, occupied, [targets](int, int) { return targets; });
    for (int p = 0; p < safety.lines.pinCount; ++p) {
      int bit = safety.lines.pins[p].bit;
      std::uint64_t allowed = targets & safety.lines.pins[p].line, reach = 0;
      if (!allowed) continue;
      int type = TypeOf(pos.board[BitSquare(bit)]);
      if (type == PAWN) VisitPawnMoves<COLOUR>(sink, 1ull << bit, ~occupied, enemy, allowed);
      if (type == BISHOP || type == QUEEN) reach |= SlideDiagonally(bit, occupied);
      if (type == ROOK || type == QUEEN) reach |= SlideStraight(bit, occupied);
      if (reach & allowed) sink.AddPieceMoves(bit, reach & allowed);
    }
  }
  if (!safety.checkers) {
    VisitCastlings<COLOUR>(sink, [&](const Castling& castling) {
      // The castling rule's squares must not be attacked as the empty squares they are: a pawn
      // that could step onto one attacks it, a pawn's diagonal does not (unless standard rules say
      // it does), and no enemy castling right or en-passant square claims one of the own back rank.
      auto attacked = [&](int square, int) {
        return (Ahead<COLOUR ^ BLACK>(army.pawns, 1) & SquareMask(square)) ||
               IsReachedByPiece(SquareBit(square), occupied, army);
      };
      return IsCastlingLegal(castling, occupied, attacked);
    });
  }
  VisitEnPassant<COLOUR>(
      sink, [&](int from) { return IsEnPassantLegal(from, pos.epSquare, safety, army); });
}

}  // namespace visitors
