// Moves as players write them: standard algebraic notation (SAN) out, and SAN or coordinate
// notation in. Not on any hot path: the strings are built freely.
#pragma once

#include <string>

#include "engine/position.h"

// Returns a legal move of the current position in SAN: the piece letter (none for a pawn), the
// file, rank or square of departure when another piece of the same kind can legally reach the
// same square (file first, then rank, then both), "x" for a capture (a pawn's with its file,
// exd5, en passant too), the destination, "=Q" for a promotion, "O-O" or "O-O-O" for castling,
// and "+" when the move gives check or "#" when it mates. The position is left as it was.
std::string MoveToSan(Move move);

// Returns the legal move of the current position that text names, in SAN or in coordinate
// notation (e2e4, e1g1, e7e8q), or NO_MOVE with a one-line reason in error. Accepted beside strict
// SAN: trailing "+", "#", "!", "?" and "e.p.", "0-0" for "O-O", a promotion with or without "=",
// a missing "x" and more disambiguation than needed. Refused: text that names no legal move, or
// more than one.
Move ParseMove(const std::string& text, std::string& error);
