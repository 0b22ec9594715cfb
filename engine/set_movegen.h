// The move generators over the piece sets, built from the walks of move_visitors.h. The legal
// generator gives the moves of the side to move that IsLegal allows, from the check record's
// checkers and pins: the search walks it at a node in check (and perft its counting form). For a
// side out of check the search takes its moves in stages, pseudo-legal, from the same sets:
// captures and promotions, then the quiet moves or only those that give check. None keeps the
// fixed order of GenerateMoves.
#pragma once

#include "engine/check_record.h"
#include "engine/position.h"

// Fills list with the legal moves of the side to move; record is the position's.
void GenerateLegalMoves(MoveList& list, CheckRecord& record);

// Fills list with the captures (en passant included) and promotions of the side to move, out of
// check: the moves that change the material, pseudo-legal (IsLegal judges each; only a line the
// move opens can matter).
void GenerateCaptures(MoveList& list);

// Fills list with the other moves of GenerateMoves, pseudo-legal: quiet steps and slides, pawn
// steps that do not promote, and castling on the rights alone.
void GenerateQuietMoves(MoveList& list);

// Fills list with those of GenerateQuietMoves' moves that give check (MoveGivesCheck), and
// castling; record is the position's.
void GenerateQuietChecks(MoveList& list, CheckRecord& record);
