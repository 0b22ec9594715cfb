// Drives the console on its own so that tests can watch it as a real process. The arguments are
// commands carried out in order after ConsoleOpen():
//   lines N  write N lines "line I of N" (I from 1) with ConsoleWriteLine
//   shade    ConsoleWriteByte(0xB0), ConsoleWriteByte(0xDB), ConsoleWrite("|\xB0\xDB|"),
//            ConsoleWriteLine("")
//   flush    ConsoleFlush()
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

// Reports a command the probe does not know and ends with BAD_USAGE.
[[noreturn]] void Usage(const char* command) {
  constexpr char MESSAGE[] = "console_probe: bad command ";
  (void)!write(STDERR_FILENO, MESSAGE, sizeof MESSAGE - 1);
  (void)!write(STDERR_FILENO, command, std::strlen(command));
  (void)!write(STDERR_FILENO, "\n", 1);
  _exit(BAD_USAGE);
}

// Returns the count that follows command at argv[at], or fails with BAD_USAGE.
long Count(int argc, char** argv, int at) {
  if (at >= argc) Usage(argv[at - 1]);
  char* end = nullptr;
  const long value = std::strtol(argv[at], &end, 10);
  if (*end != '\0' || value < 0) Usage(argv[at]);
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
    } else if (std::strcmp(command, "flush") == 0) {
      ConsoleFlush();
    } else if (std::strcmp(command, "read") == 0) {
      ConsoleReadLine();
    } else if (std::strcmp(command, "exit") == 0) {
      ConsoleExit(static_cast<int>(Count(argc, argv, ++at)));
    } else {
      Usage(command);
    }
  }
  ConsoleExit(0);
}
