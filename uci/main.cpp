// chess-uci: the engine for GUIs and match runners, speaking UCI on standard input and output.
#include <csignal>
#include <cstdio>
#include <iostream>

#include "uci/uci.h"

int main() {
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
