// What the engine tells the GUI: whole lines, flushed at once; free text in info strings, where
// the user's own text is repeated only escaped; and the info line of each completed depth.
#pragma once

#include <iosfwd>
#include <string>

#include "engine/think.h"

// Writes one line and flushes it: the GUI is waiting for it.
void Say(std::ostream& out, const std::string& line);

// Tells the GUI something in an info string, the one kind of free text UCI allows.
void Report(std::ostream& out, const std::string& message);

// Returns the user's text fit to repeat in a report: no control byte reaches the GUI, and at most
// 200 bytes of it.
std::string Echo(const std::string& text);

// Writes the info line of a completed depth: depth, seldepth, score (in hundredths of a pawn, or
// in moves to mate), nodes, nps, time and the principal variation.
void SayDepth(std::ostream& out, const DepthReport& line);

// Writes the progress of a running depth: "info depth D currmove M currmovenumber N" as the root
// begins a move, else "info nodes N nps P time T".
void SayProgress(std::ostream& out, const ThinkProgress& progress);
