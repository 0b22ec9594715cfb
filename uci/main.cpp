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
Chess Interface (UCI) on standard input and output, and searches like the program's own game.
Its options (Depth, ...) are listed in answer to "uci"; the README tells how it searches.

Moves are in coordinate notation (e2e4, castling as the king's move e1g1, promotions e7e8q);
"position ... moves" also reads standard algebraic notation. Castling follows the standard
rule. Bad input gets an "info string" line and is otherwise ignored.

A GUI finds it by name once it is on PATH. xboard, which talks UCI through polyglot (both in
/usr/games on Debian), starts it with: xboard -fUCI -fcp chess-uci

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
