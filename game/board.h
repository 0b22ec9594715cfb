// The board diagram.
#pragma once

// Writes the board as a ten-by-ten diagram followed by an empty line: pieces as letters (white
// upper case), empty squares shaded, rank digits on both sides and file letters above and below.
void PrintBoard();
