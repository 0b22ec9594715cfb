// The console on POSIX descriptors. Output to a terminal goes out one write(2) per statement with
// the shading bytes turned into UTF-8; output to a file or pipe is gathered in one static block.
// Nothing here allocates: the state is a single static record, so a failure can always be
// reported, even when the process is out of memory.
#include "game/console.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// Output to a file or pipe is written in blocks of this size; on a terminal the same memory holds
// one translated statement (longer statements go out in pieces of at most this size).
constexpr std::size_t BLOCK_SIZE = 4096;

constexpr unsigned char LIGHT_SHADE = 0xB0;
constexpr unsigned char FULL_BLOCK = 0xDB;
constexpr unsigned char LIGHT_SHADE_UTF8[] = {0xE2, 0x96, 0x91};  // U+2591
constexpr unsigned char FULL_BLOCK_UTF8[] = {0xE2, 0x96, 0x88};   // U+2588
constexpr std::size_t UTF8_LENGTH = 3;
constexpr unsigned char LINE_END[] = {'\r', '\n'};
constexpr unsigned char END_OF_INPUT = 0x1A;

constexpr int ERROR_FD = 2;
constexpr int STATUS_MASK = 0xFF;

// The report: the status ends at STATUS_LAST, the address fills ADDRESS_FIRST..ADDRESS_LAST.
constexpr char REPORT_TEMPLATE[] = "Runtime error     at 00000000\r\n";
constexpr std::size_t REPORT_LENGTH = sizeof REPORT_TEMPLATE - 1;
constexpr std::size_t STATUS_FIRST = 14;
constexpr std::size_t STATUS_LAST = 16;
constexpr std::size_t ADDRESS_FIRST = 21;
constexpr std::size_t ADDRESS_LAST = 28;
constexpr char HEX_DIGITS[] = "0123456789ABCDEF";

struct Console {
  int outFd = 1;
  int inFd = 0;
  bool opened = false;
  bool terminal = false;
  // Bytes of block waiting for the file or pipe; always 0 on a terminal.
  std::size_t used = 0;
  unsigned char block[BLOCK_SIZE];
};

Console console;

// Takes the low 32 bits of a code address, the part the report shows.
std::uint32_t CodeAddress(const void* address) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
}

// Writes all length bytes to fd, resuming after partial writes and EINTR; returns 0 or the errno.
int WriteAll(int fd, const unsigned char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t written = write(fd, data, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // A write that takes nothing would loop forever; treat it as a device fault.
    if (written == 0) return EIO;
    data += written;
    length -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Writes what is still buffered and the one-line report, then ends the process with status.
// outputBroken tells that standard output itself failed, so the report goes to standard error too.
// Uses only plain writes whose results are ignored, so it never comes back here.
[[noreturn]] void Fail(int status, std::uint32_t address, bool outputBroken) {
  if (!outputBroken && console.used > 0) {
    outputBroken = WriteAll(console.outFd, console.block, console.used) != 0;
  }
  console.used = 0;

  char report[sizeof REPORT_TEMPLATE];
  std::memcpy(report, REPORT_TEMPLATE, sizeof report);
  unsigned value = static_cast<unsigned>(status);
  for (std::size_t at = STATUS_LAST; at >= STATUS_FIRST; --at) {
    report[at] = static_cast<char>('0' + value % 10);
    value /= 10;
    if (value == 0) break;
  }
  for (std::size_t at = ADDRESS_LAST; at >= ADDRESS_FIRST; --at) {
    report[at] = HEX_DIGITS[address & 0xF];
    address >>= 4;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(report);
  WriteAll(console.outFd, bytes, REPORT_LENGTH);
  if (outputBroken && console.outFd != ERROR_FD) WriteAll(ERROR_FD, bytes, REPORT_LENGTH);
  _exit(status);
}

// Fails with the status an errno value stands for.
[[noreturn]] void FailWithError(int error, std::uint32_t address, bool outputBroken) {
  Fail(error & STATUS_MASK, address, outputBroken);
}

// Checks that fd is an open descriptor; returns true when it is.
bool IsOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

// Opens standard output on outFd (failing with 105 when it is not open) and forgets any buffered
// bytes of an earlier opening.
void Open(int outFd, int inFd, std::uint32_t address) {
  console.outFd = outFd;
  console.inFd = inFd;
  console.used = 0;
  console.opened = true;
  console.terminal = false;
  // A reader that goes away must show up as EPIPE from write, not as a silent death by signal.
  signal(SIGPIPE, SIG_IGN);
  if (!IsOpen(outFd)) Fail(STATUS_OUTPUT_NOT_OPEN, address, true);
  console.terminal = isatty(outFd) != 0;
}

// Opens the console with the standard descriptors unless the program already did.
void EnsureOpen(std::uint32_t address) {
  if (!console.opened) Open(STDOUT_FILENO, STDIN_FILENO, address);
}

// Writes the whole block to the file or pipe; a failure ends the process.
void FlushBlock(std::uint32_t address) {
  if (console.used == 0) return;
  const std::size_t length = console.used;
  // The block is gone either way: after a failure it must not be written again.
  console.used = 0;
  const int error = WriteAll(console.outFd, console.block, length);
  if (error != 0) FailWithError(error, address, true);
}

// Adds bytes to the block, writing it out each time it fills.
void Buffer(const unsigned char* data, std::size_t length, std::uint32_t address) {
  while (length > 0) {
    const std::size_t taken = std::min(length, BLOCK_SIZE - console.used);
    std::memcpy(console.block + console.used, data, taken);
    console.used += taken;
    data += taken;
    length -= taken;
    if (console.used == BLOCK_SIZE) FlushBlock(address);
  }
}

// Writes the first length bytes of the block to the terminal; a failure ends the process.
void WriteScreen(std::size_t length, std::uint32_t address) {
  const int error = WriteAll(console.outFd, console.block, length);
  if (error != 0) FailWithError(error, address, true);
}

// Shows one statement on the terminal in a single write, the shading bytes as UTF-8.
void Show(const unsigned char* data, std::size_t length, bool endLine, std::uint32_t address) {
  std::size_t filled = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (filled + UTF8_LENGTH > BLOCK_SIZE) {
      WriteScreen(filled, address);
      filled = 0;
    }
    const unsigned char byte = data[i];
    if (byte == LIGHT_SHADE || byte == FULL_BLOCK) {
      std::memcpy(console.block + filled, byte == LIGHT_SHADE ? LIGHT_SHADE_UTF8 : FULL_BLOCK_UTF8,
                  UTF8_LENGTH);
      filled += UTF8_LENGTH;
    } else {
      console.block[filled++] = byte;
    }
  }
  if (endLine) {
    if (filled + sizeof LINE_END > BLOCK_SIZE) {
      WriteScreen(filled, address);
      filled = 0;
    }
    std::memcpy(console.block + filled, LINE_END, sizeof LINE_END);
    filled += sizeof LINE_END;
  }
  if (filled > 0) WriteScreen(filled, address);
}

// Carries out one write statement: data, then CR LF when endLine is set.
void Statement(const unsigned char* data, std::size_t length, bool endLine, std::uint32_t address) {
  EnsureOpen(address);
  if (console.terminal) {
    Show(data, length, endLine, address);
    return;
  }
  Buffer(data, length, address);
  if (endLine) Buffer(LINE_END, sizeof LINE_END, address);
}

}  // namespace

// The public functions stay out of line so that __builtin_return_address(0) names the statement
// in the caller that failed.

// Opens the console on outFd and inFd; returns only when outFd is open.
__attribute__((noinline)) void ConsoleOpen(int outFd, int inFd) {
  Open(outFd, inFd, CodeAddress(__builtin_return_address(0)));
}

// Writes length bytes of text as one statement; returns only on success.
__attribute__((noinline)) void ConsoleWrite(const char* text, std::size_t length) {
  Statement(reinterpret_cast<const unsigned char*>(text), length, false,
            CodeAddress(__builtin_return_address(0)));
}

// Writes one byte as one statement; returns only on success.
__attribute__((noinline)) void ConsoleWriteByte(unsigned char byte) {
  Statement(&byte, 1, false, CodeAddress(__builtin_return_address(0)));
}

// Writes text and CR LF as one statement; returns only on success.
__attribute__((noinline)) void ConsoleWriteLine(const char* text) {
  Statement(reinterpret_cast<const unsigned char*>(text), std::strlen(text), true,
            CodeAddress(__builtin_return_address(0)));
}

// Writes out the block; returns only on success.
__attribute__((noinline)) void ConsoleFlush() {
  const std::uint32_t address = CodeAddress(__builtin_return_address(0));
  EnsureOpen(address);
  FlushBlock(address);
}

// Discards input through the first LF, end of input, broken pipe or 0x1A; returns only on success.
__attribute__((noinline)) void ConsoleReadLine() {
  const std::uint32_t address = CodeAddress(__builtin_return_address(0));
  EnsureOpen(address);
  if (!IsOpen(console.inFd)) Fail(STATUS_INPUT_NOT_OPEN, address, false);
  // One byte at a time, so nothing after the line is taken from whoever reads the input next.
  for (;;) {
    unsigned char byte = 0;
    const ssize_t got = read(console.inFd, &byte, 1);
    if (got == 0) return;
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) return;
      FailWithError(errno, address, false);
    }
    if (byte == '\n' || byte == END_OF_INPUT) return;
  }
}

// Writes out the block and ends the process with status.
__attribute__((noinline)) void ConsoleExit(int status) {
  const std::uint32_t address = CodeAddress(__builtin_return_address(0));
  EnsureOpen(address);
  FlushBlock(address);
  _exit(status);
}
