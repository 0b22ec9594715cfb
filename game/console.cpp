// The console on top of the operating system's calls (console_system.h). Output to a console goes
// out one write per statement with the shading bytes shown as their characters; output to a file
// or pipe is gathered in one static block. Nothing here allocates: the state is a single static
// record, so a failure can always be reported, even when the process is out of memory.
#include "game/console.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "game/console_system.h"

namespace {

// Output to a file or pipe is written in blocks of this size.
constexpr std::size_t BLOCK_SIZE = 4096;

constexpr unsigned char LINE_END[] = {'\r', '\n'};
constexpr unsigned char END_OF_INPUT = 0x1A;

constexpr int OUTPUT_STREAM = 1;
constexpr int INPUT_STREAM = 0;
constexpr int ERROR_STREAM = 2;
constexpr std::uint32_t STATUS_MASK = 0xFF;

// The report shows a code address as if the program were loaded at this base, the classic base
// of a Windows program, so that the same statement gives the same address on every run.
constexpr std::uintptr_t REPORT_BASE = 0x400000;

// The report: the status ends at STATUS_LAST, the address fills ADDRESS_FIRST..ADDRESS_LAST.
constexpr char REPORT_TEMPLATE[] = "Runtime error     at 00000000\r\n";
constexpr std::size_t REPORT_LENGTH = sizeof REPORT_TEMPLATE - 1;
constexpr std::size_t STATUS_FIRST = 14;
constexpr std::size_t STATUS_LAST = 16;
constexpr std::size_t ADDRESS_FIRST = 21;
constexpr std::size_t ADDRESS_LAST = 28;
constexpr char HEX_DIGITS[] = "0123456789ABCDEF";

struct Console {
  int outFd = OUTPUT_STREAM;
  int inFd = INPUT_STREAM;
  bool opened = false;
  bool onConsole = false;
  // The statement being carried out: the return address of the public function it called.
  const void* caller = nullptr;
  // Bytes of block waiting for the file or pipe; always 0 on a console.
  std::size_t used = 0;
  unsigned char block[BLOCK_SIZE];
};

Console console;

// Returns the address the report shows for a code address: its offset in the program's image
// from REPORT_BASE, the same on every run however the system placed the image.
std::uint32_t CodeAddress(const void* address) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address) - ImageBase() +
                                    REPORT_BASE);
}

// Writes what is still buffered and the one-line report of the statement being carried out, then
// ends the process with status. outputBroken tells that standard output itself failed, so the
// report goes to standard error too. Uses only plain writes whose results are ignored, so it never
// comes back here.
[[noreturn]] void Fail(int status, bool outputBroken) {
  if (!outputBroken && console.used > 0) {
    outputBroken = WriteBytes(console.outFd, console.block, console.used) != 0;
  }
  console.used = 0;

  std::uint32_t address = CodeAddress(console.caller);
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
  WriteBytes(console.outFd, bytes, REPORT_LENGTH);
  if (outputBroken && console.outFd != ERROR_STREAM) WriteBytes(ERROR_STREAM, bytes, REPORT_LENGTH);
  EndProcess(status);
}

// Fails with the status a system error code stands for: its low eight bits.
[[noreturn]] void FailWithError(std::uint32_t error, bool outputBroken) {
  Fail(static_cast<int>(error & STATUS_MASK), outputBroken);
}

// Opens standard output on outFd (failing with 105 when there is none) and forgets any buffered
// bytes of an earlier opening.
void Open(int outFd, int inFd) {
  console.outFd = outFd;
  console.inFd = inFd;
  console.used = 0;
  console.opened = true;
  console.onConsole = false;
  const OutputKind kind = OpenOutput(outFd);
  if (kind == OutputKind::MISSING) Fail(STATUS_OUTPUT_NOT_OPEN, true);
  console.onConsole = kind == OutputKind::CONSOLE;
}

// Opens the console with the standard streams unless the program already did.
void EnsureOpen() {
  if (!console.opened) Open(OUTPUT_STREAM, INPUT_STREAM);
}

// Writes the whole block to the file or pipe; a failure ends the process.
void FlushBlock() {
  if (console.used == 0) return;
  const std::size_t length = console.used;
  // The block is gone either way: after a failure it must not be written again.
  console.used = 0;
  const std::uint32_t error = WriteBytes(console.outFd, console.block, length);
  if (error != 0) FailWithError(error, true);
}

// Adds bytes to the block, writing it out each time it fills.
void Buffer(const unsigned char* data, std::size_t length) {
  while (length > 0) {
    const std::size_t taken = std::min(length, BLOCK_SIZE - console.used);
    std::memcpy(console.block + console.used, data, taken);
    console.used += taken;
    data += taken;
    length -= taken;
    if (console.used == BLOCK_SIZE) FlushBlock();
  }
}

// Shows one statement on the console, in one write unless it is longer than SHOWN_PIECE.
void Show(const unsigned char* data, std::size_t length, bool endLine) {
  while (length > 0 || endLine) {
    const std::size_t piece = std::min(length, SHOWN_PIECE);
    const bool last = piece == length;
    const std::uint32_t error = ShowOnConsole(console.outFd, data, piece, last && endLine);
    if (error != 0) FailWithError(error, true);
    if (last) return;
    data += piece;
    length -= piece;
  }
}

// Carries out one write statement: data, then CR LF when endLine is set.
void Statement(const unsigned char* data, std::size_t length, bool endLine) {
  EnsureOpen();
  if (console.onConsole) {
    Show(data, length, endLine);
    return;
  }
  Buffer(data, length);
  if (endLine) Buffer(LINE_END, sizeof LINE_END);
}

}  // namespace

// Each public function stays out of line and, before it does anything that can fail, records its
// return address: the failing statement's place in the program's code. GCC and Clang give it;
// with another compiler every report would show the image's start.
#if defined(__GNUC__)
#define CALLER_ADDRESS() __builtin_return_address(0)
#else
#define CALLER_ADDRESS() reinterpret_cast<const void*>(ImageBase())
#endif

// Opens the console on outFd and inFd; returns only when outFd is open.
[[gnu::noinline]] void ConsoleOpen(int outFd, int inFd) {
  console.caller = CALLER_ADDRESS();
  Open(outFd, inFd);
}

// Writes length bytes of text as one statement; returns only on success.
[[gnu::noinline]] void ConsoleWrite(const char* text, std::size_t length) {
  console.caller = CALLER_ADDRESS();
  Statement(reinterpret_cast<const unsigned char*>(text), length, false);
}

// Writes one byte as one statement; returns only on success.
[[gnu::noinline]] void ConsoleWriteByte(unsigned char byte) {
  console.caller = CALLER_ADDRESS();
  Statement(&byte, 1, false);
}

// Writes text and CR LF as one statement; returns only on success.
[[gnu::noinline]] void ConsoleWriteLine(const char* text) {
  console.caller = CALLER_ADDRESS();
  Statement(reinterpret_cast<const unsigned char*>(text), std::strlen(text), true);
}

// Writes out the block; returns only on success.
[[gnu::noinline]] void ConsoleFlush() {
  console.caller = CALLER_ADDRESS();
  EnsureOpen();
  FlushBlock();
}

// Discards input through the first LF, end of input, broken pipe or 0x1A; returns only on success.
[[gnu::noinline]] void ConsoleReadLine() {
  console.caller = CALLER_ADDRESS();
  EnsureOpen();
  if (!HasInput(console.inFd)) Fail(STATUS_INPUT_NOT_OPEN, false);
  // One byte at a time, so nothing after the line is taken from whoever reads the input next.
  for (;;) {
    unsigned char byte = 0;
    std::uint32_t error = 0;
    const ReadResult result = ReadByte(console.inFd, byte, error);
    if (result == ReadResult::END) return;
    if (result == ReadResult::FAILED) FailWithError(error, false);
    if (byte == '\n' || byte == END_OF_INPUT) return;
  }
}

// Writes out the block and ends the process with status.
[[gnu::noinline]] void ConsoleExit(int status) {
  console.caller = CALLER_ADDRESS();
  EnsureOpen();
  FlushBlock();
  EndProcess(status);
}
