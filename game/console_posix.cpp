// The console's system calls on POSIX descriptors: write(2) and read(2), a terminal for a console
// (shown in UTF-8), and _exit.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "game/console_system.h"

// The start of the program's image, placed by the linker; the image loads wherever the system
// puts it (a position-independent executable moves on every run).
extern "C" const char __executable_start[];

namespace {

// A shown statement of SHOWN_PIECE bytes, each up to three bytes of UTF-8, and CR LF.
constexpr std::size_t UTF8_MOST = 3;
unsigned char screen[SHOWN_PIECE * UTF8_MOST + 2];

// Returns whether stream is an open descriptor.
bool IsOpen(int stream) { return fcntl(stream, F_GETFD) != -1; }

}  // namespace

// Ignores SIGPIPE and looks at stream; returns whether it is missing, a terminal or not.
OutputKind OpenOutput(int stream) {
  // A reader that goes away must show up as EPIPE from write, not as a silent death by signal.
  signal(SIGPIPE, SIG_IGN);
  if (!IsOpen(stream)) return OutputKind::MISSING;
  return isatty(stream) ? OutputKind::CONSOLE : OutputKind::FILE_OR_PIPE;
}

// Returns whether stream is an open descriptor.
bool HasInput(int stream) { return IsOpen(stream); }

// Writes all bytes, resuming after partial writes and EINTR; returns 0 or the errno.
std::uint32_t WriteBytes(int stream, const unsigned char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t written = write(stream, data, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return static_cast<std::uint32_t>(errno);
    }
    // A write that takes nothing would loop forever; treat it as a device fault.
    if (written == 0) return EIO;
    data += written;
    length -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Shows the bytes on the terminal in one write, the shading characters in UTF-8 and every other
// byte as it is; returns 0 or the errno.
std::uint32_t ShowOnConsole(int stream, const unsigned char* data, std::size_t length,
                            bool endLine) {
  std::size_t filled = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const char32_t shown = ShownCharacter(data[i]);
    if (shown == data[i]) {
      screen[filled++] = data[i];
      continue;
    }
    // The shading characters lie in U+0800..U+FFFF: three bytes of UTF-8.
    screen[filled++] = static_cast<unsigned char>(0xE0 | shown >> 12);
    screen[filled++] = static_cast<unsigned char>(0x80 | (shown >> 6 & 0x3F));
    screen[filled++] = static_cast<unsigned char>(0x80 | (shown & 0x3F));
  }
  if (endLine) {
    screen[filled++] = '\r';
    screen[filled++] = '\n';
  }
  return WriteBytes(stream, screen, filled);
}

// Reads one byte, resuming after EINTR; end of input and EPIPE both end the input.
ReadResult ReadByte(int stream, unsigned char& byte, std::uint32_t& error) {
  for (;;) {
    const ssize_t got = read(stream, &byte, 1);
    if (got == 1) return ReadResult::BYTE;
    if (got == 0) return ReadResult::END;
    if (errno == EINTR) continue;
    if (errno == EPIPE) return ReadResult::END;
    error = static_cast<std::uint32_t>(errno);
    return ReadResult::FAILED;
  }
}

// Ends the process without running exit handlers or flushing C streams.
void EndProcess(int status) { _exit(status); }

// Returns the address of the program's first byte in memory.
std::uintptr_t ImageBase() { return reinterpret_cast<std::uintptr_t>(__executable_start); }
