// chess-uci: the engine for GUIs and match runners, speaking UCI on standard input and output.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "engine/notation.h"
#include "uci/uci.h"

namespace {

// The usage for --help, laid out as help2man reads it: it makes the manual page from this text.
constexpr char HELP[] = R"(Usage: chess-uci [--help | --version]
The console chess program's engine for chess GUIs and match runners: it speaks the Universal
Chess Interface (UCI) on standard input and output, and searches like the program's own game,
by iterative deepening; it answers with the best move of the last depth it completed.

Moves are in coordinate notation (e2e4, castling as the king's move e1g1, promotions e7e8q);
"position ... moves" also reads standard algebraic notation. Castling follows the standard
rule. Bad input gets an "info string" line and is otherwise ignored.

A GUI finds it by name once it is on PATH. xboard, which talks UCI through polyglot (both in
/usr/games on Debian), starts it with: xboard -fUCI -fcp chess-uci

UCI options:
  Depth          the depth of a "go" without limits: 1 to 10, default 6 (the game's)
  Move Overhead  milliseconds kept back for the GUI's own delays: 0 to 5000, default 10
  Ponder         accepted; "go ponder" is what makes it ponder

The words of go, in any order:
  wtime, btime   the mover's time left in milliseconds: a move aims at a thirtieth of
                 it, the move overhead taken off first, plus three quarters of the increment
  winc, binc     the mover's increment in milliseconds
  movestogo N    the moves to the next time control: a move aims at one part in N + 1
                 of the time left where that is more than a thirtieth
  movetime T     answer within T milliseconds, less the move overhead
  depth N        stop after depth N (1 to 60)
  nodes N        stop once past N nodes
  mate N         stop once a mate in N moves or fewer is found
  infinite       search until "stop", the next "go" or the end of input
  ponder         the same, or after "ponderhit" by the clocks
  (none)         search to the Depth option

While it searches it still reads: "stop" ends the search, "isready" is answered at once,
"quit" ends the program; the next "go" or the end of input ends a search that waits for
"stop", which answers first; other commands wait for the search's answer. A search that
ends by itself runs to its end, even at the end of input.

Exit status: 0 after "quit" or the end of input, 1 when standard output can no longer be
written (the GUI has gone), 2 for a wrong argument.

Options:
  -h, --help     print this help and exit
      --version  print the program's name and version and exit
)";

}  // namespace

// Answers --help and --version; any other argument is a mistake; with none, speaks UCI.
int main(int argc, char** argv) {
  if (argc > 1) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
      std::fputs(HELP, stdout);
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
      std::printf("chess-uci %s\n", CHESS_VERSION);
      return 0;
    }
    // The argument is quoted escaped so that the report stays one printable line.
    std::string fault = argc > 2 ? std::string("too many arguments")
                                 : "unknown argument '" + Printable(argv[1], 80) + "'";
    std::fprintf(stderr, "chess-uci: %s; try 'chess-uci --help'\n", fault.c_str());
    return 2;
  }
  // A GUI that goes away must not kill us mid-write: the failed write is reported instead.
  // Windows has no such signal; there the write simply fails.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  int status = RunUci(std::cin, std::cout);
  if (status != 0) std::fputs("chess-uci: cannot write to standard output\n", stderr);
  return status;
}
