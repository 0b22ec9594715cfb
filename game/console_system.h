// The operating system's side of the console: the few calls the console layer makes, with one
// implementation for POSIX (console_posix.cpp) and one for Windows (console_windows.cpp). Streams
// are named by their standard numbers: 0 input, 1 output, 2 error. An error code is the system's
// own (errno on POSIX, GetLastError() on Windows) and is never 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/console.h"

// What a stream opened for output turned out to be.
enum class OutputKind { MISSING, CONSOLE, FILE_OR_PIPE };

// How reading one byte of input ended.
enum class ReadResult { BYTE, END, FAILED };

// The most bytes of one statement that ShowOnConsole is given at a time; a longer statement is
// shown in pieces of this size.
constexpr std::size_t SHOWN_PIECE = 1024;

constexpr char32_t LIGHT_SHADE_CHARACTER = 0x2591;
constexpr char32_t FULL_BLOCK_CHARACTER = 0x2588;

// Returns the character a byte is shown as on a console: the two shading bytes of code page 437
// as their Unicode characters, every other byte as itself.
constexpr char32_t ShownCharacter(unsigned char byte) {
  if (byte == LIGHT_SHADE) return LIGHT_SHADE_CHARACTER;
  if (byte == FULL_BLOCK) return FULL_BLOCK_CHARACTER;
  return byte;
}

// Gets stream ready for output; returns MISSING when the process has no such stream, CONSOLE when
// it is an interactive console (a terminal on POSIX), FILE_OR_PIPE otherwise.
OutputKind OpenOutput(int stream);

// Returns whether the process has stream to read from.
bool HasInput(int stream);

// Writes all length bytes to stream as they are, resuming after partial writes; returns 0 or
// the error code.
std::uint32_t WriteBytes(int stream, const unsigned char* data, std::size_t length);

// Shows at most SHOWN_PIECE bytes, and CR LF after them when endLine is set, on the console
// stream in one write, each byte as its ShownCharacter; returns 0 or the error code.
std::uint32_t ShowOnConsole(int stream, const unsigned char* data, std::size_t length,
                            bool endLine);

// Reads one byte of stream into byte; returns BYTE, END for end of input or a broken pipe, or
// FAILED with the error code in error.
ReadResult ReadByte(int stream, unsigned char& byte, std::uint32_t& error);

// Ends the process with status at once.
[[noreturn]] void EndProcess(int status);

// Returns the address at which the program's own image is loaded.
std::uintptr_t ImageBase();
