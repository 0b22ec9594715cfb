// The console: standard output and input as the game uses them. Every operation checks its
// result; a failure writes out what was buffered, reports the error in one line and ends the
// process with the error number as its status, so callers never see a failed operation.
#pragma once

#include <cstddef>

// The diagram's shading bytes, code page 437's light shade and full block: written as they are to
// a file or pipe, shown on a console as the characters they stand for.
constexpr unsigned char LIGHT_SHADE = 0xB0;
constexpr unsigned char FULL_BLOCK = 0xDB;

// Exit statuses for a stream that cannot be opened.
constexpr int STATUS_OUTPUT_NOT_OPEN = 105;
constexpr int STATUS_INPUT_NOT_OPEN = 104;

// Opens standard output (descriptor outFd) and decides how it is written: on a terminal every
// write statement reaches the screen at once and the two shading bytes are shown as the
// terminal's UTF-8 light-shade and full-block characters; to a file or pipe the bytes go out
// unchanged, in blocks and at exit. Standard input (inFd) is opened by the final read. Opening
// again forgets anything still buffered. A write before any ConsoleOpen opens descriptors 1 and 0.
// Fails with STATUS_OUTPUT_NOT_OPEN when outFd is not an open descriptor.
void ConsoleOpen(int outFd = 1, int inFd = 0);

// One write statement: the bytes of text.
void ConsoleWrite(const char* text, std::size_t length);
void ConsoleWriteByte(unsigned char byte);

// One write statement: text followed by CR LF.
void ConsoleWriteLine(const char* text);

// Writes out whatever is buffered.
void ConsoleFlush();

// Waits for the user: discards input up to and including the first LF. End of input, a broken
// pipe or a byte 0x1A ends the wait without error; a lone CR does not end the line. Buffered
// output is not written first. Fails with STATUS_INPUT_NOT_OPEN when inFd is not open.
void ConsoleReadLine();

// Writes out what is buffered and ends the process with the given status. Output to a file or pipe
// reaches it only through this (or a failure): a program that returns from main loses its last
// block.
[[noreturn]] void ConsoleExit(int status);
