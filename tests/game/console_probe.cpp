// Drives the console on its own so that tests can watch it as a real process. The arguments are
// commands carried out in order after ConsoleOpen():
//   lines N  write N lines "line I of N" (I from 1) with ConsoleWriteLine
//   shade    ConsoleWriteByte(0xB0), ConsoleWriteByte(0xDB), ConsoleWrite("|\xB0\xDB|"),
//            ConsoleWriteLine("")
//   read     ConsoleReadLine()
//   exit N   ConsoleExit(N)
// After the last command the probe ends with ConsoleExit(0). A bad command exits with BAD_USAGE.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/console.h"

namespace {

constexpr int BAD_USAGE = 99;

// Returns the count that follows the command at argv[at], or ends the probe with BAD_USAGE.
long Count(int argc, char** argv, int at) {
  char* end = nullptr;
  const long value = at < argc ? std::strtol(argv[at], &end, 10) : -1;
  if (value < 0 || *end != '\0') _exit(BAD_USAGE);
  return value;
}

}  // namespace

// Carries out the commands; never returns, the console ends the process.
int main(int argc, char** argv) {
  ConsoleOpen();
  for (int at = 1; at < argc; ++at) {
    const char* command = argv[at];
    if (std::strcmp(command, "lines") == 0) {
      const long count = Count(argc, argv, ++at);
      for (long i = 1; i <= count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "line %ld of %ld", i, count);
        ConsoleWriteLine(line);
      }
    } else if (std::strcmp(command, "shade") == 0) {
      ConsoleWriteByte(0xB0);
      ConsoleWriteByte(0xDB);
      ConsoleWrite("|\xB0\xDB|", 4);
      ConsoleWriteLine("");
    } else if (std::strcmp(command, "read") == 0) {
      ConsoleReadLine();
    } else if (std::strcmp(command, "exit") == 0) {
      ConsoleExit(static_cast<int>(Count(argc, argv, ++at)));
    } else {
      _exit(BAD_USAGE);
    }
  }
  ConsoleExit(0);
}
