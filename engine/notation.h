// Positions and moves as text: FEN in, coordinate notation out.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

#include "engine/position.h"

// Reads text as a whole decimal number from low to high (digits only: no sign, space or other
// character) into value and returns true, or leaves value as it was and returns false; a number
// too large for Int is refused, not wrapped. The one number reader of FEN, UCI and chessbench.
template <typename Int>
bool ParseNumber(std::string_view text, Int low, Int high, Int& value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  Int parsed{};
  auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (fault != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high)
    return false;
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
// square without the pawn that passed it, or the side not to move in check.
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
