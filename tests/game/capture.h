// Captures what the console writes inside the test process, in a memory file.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "game/console.h"

// Opens the console onto a fresh memory file and returns its descriptor.
inline int CaptureConsole() {
  int fd = memfd_create("console", 0);
  ConsoleOpen(fd, 0);
  return fd;
}

// Writes out the console's buffer and returns everything written to fd so far.
inline std::string Captured(int fd) {
  ConsoleFlush();
  std::string text(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
  if (pread(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) text.clear();
  return text;
}
