// Positions and moves as text: FEN in, coordinate notation out.
#pragma once

#include <limits>
#include <string>
#include <string_view>

#include "engine/position.h"

// Reads text as a whole decimal number from low to high into value and returns true, or leaves
// value as it was and returns false. Only digits, after a minus sign where low is below 0: no
// plus sign, space or other character. A number beyond Int reads as Int's largest (or smallest)
// value rather than wrapping, so it fails the range, or is the nearest value a caller that asks
// for Int's whole range can clamp. The one number reader of FEN, UCI and chessbench.
template <typename Int>
bool ParseNumber(std::string_view text, Int low, Int high, Int& value) {
  using Limits = std::numeric_limits<Int>;
  bool negative = low < 0 && text.starts_with('-');
  if (negative) text.remove_prefix(1);
  if (text.empty()) return false;
  Int parsed = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    Int digit = static_cast<Int>(c - '0');
    if (negative)
      parsed = parsed < (Limits::min() + digit) / 10 ? Limits::min() : parsed * 10 - digit;
    else
      parsed = parsed > (Limits::max() - digit) / 10 ? Limits::max() : parsed * 10 + digit;
  }
  if (parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

// The largest fullmove number a FEN may give: far beyond any game's length (the fifty-move rule
// ends every game within 6000 moves), small enough that counting on never overflows.
constexpr int MAX_FULLMOVE_NUMBER = 999999;

// Sets pos from a FEN string (six fields; the last two may be missing) and returns true, or
// leaves pos unchanged, stores a one-line description of the fault in error and returns false.
// historyLength starts at 0; the derived state is computed. Positions that cannot arise in a
// game are refused: not exactly one king a side, a pawn on the first or last rank, more pieces
// than promotions can give, a castling right without its king and rook at home, an en-passant
// square without the pawn that passed it, or the side not to move in check. A fullmove number of
// 0, which many programs write, reads as 1.
bool SetPositionFromFen(const std::string& fen, std::string& error);

// Returns the current position as FEN, all six fields.
std::string PositionToFen();

// Returns a square's name, "e4", or "-" for NO_SQUARE.
std::string SquareName(int square);

// Returns a move in coordinate notation: e2e4, castling as the king's move e1g1, promotions with
// a lower-case letter, b7a8q; "0000" for no move.
std::string MoveToString(Move move);

// Returns text with every byte outside printable ASCII written as \xNN, and the backslash as \\:
// safe to show in a one-line message whatever the user typed. Text longer than limit bytes is cut
// there, and "..." says so.
std::string Printable(const std::string& text, std::size_t limit = std::string::npos);
