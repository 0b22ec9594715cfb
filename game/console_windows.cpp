// The console's system calls in Win32: the standard handles, WriteFile and ReadFile for files and
// pipes, WriteConsoleW for a console (so the shading characters show whatever the console's code
// page), and ExitProcess. The C runtime's descriptors are not used: in text mode they would turn
// CR LF into CR CR LF, and they take the NUL device for a terminal.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>

#include "game/console_system.h"

// The image header the linker places at the start of the program's image.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// A shown statement of SHOWN_PIECE bytes, each one UTF-16 unit, and CR LF.
wchar_t screen[SHOWN_PIECE + 2];

// The most bytes handed to one WriteFile, whose count is 32 bits.
constexpr std::size_t WRITE_MOST = 1u << 30;

// Returns the handle of standard stream 0, 1 or 2, or nullptr when the process has none.
HANDLE StandardHandle(int stream) {
  const DWORD which = stream == 0   ? STD_INPUT_HANDLE
                      : stream == 1 ? STD_OUTPUT_HANDLE
                                    : STD_ERROR_HANDLE;
  const HANDLE handle = GetStdHandle(which);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // A handle the process was given but that names nothing is as good as none.
  if (handle != nullptr && GetFileType(handle) == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR)
    return nullptr;
  return handle;
}

// Returns the calling thread's last error code, or ERROR_GEN_FAILURE should a failed call have
// left none, so that a failure never ends the process with status 0.
std::uint32_t LastError() {
  const DWORD error = GetLastError();
  return error != NO_ERROR ? error : ERROR_GEN_FAILURE;
}

}  // namespace

// Looks at the standard handle; returns whether it is missing, a console or a file or pipe.
OutputKind OpenOutput(int stream) {
  const HANDLE handle = StandardHandle(stream);
  if (handle == nullptr) return OutputKind::MISSING;
  // The NUL device is a character device too, but only a console has a console mode.
  DWORD mode = 0;
  if (GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode))
    return OutputKind::CONSOLE;
  return OutputKind::FILE_OR_PIPE;
}

// Returns whether the process has the standard handle.
bool HasInput(int stream) { return StandardHandle(stream) != nullptr; }

// Writes all bytes with WriteFile, resuming after partial writes; returns 0 or the error code.
std::uint32_t WriteBytes(int stream, const unsigned char* data, std::size_t length) {
  const HANDLE handle = StandardHandle(stream);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  while (length > 0) {
    DWORD written = 0;
    const auto asked = static_cast<DWORD>(std::min(length, WRITE_MOST));
    if (!WriteFile(handle, data, asked, &written, nullptr)) return LastError();
    // A write that takes nothing would loop forever; treat it as a device fault.
    if (written == 0) return ERROR_WRITE_FAULT;
    data += written;
    length -= written;
  }
  return 0;
}

// Shows the bytes on the console with one WriteConsoleW, each as its ShownCharacter, which the
// console draws whatever its code page; returns 0 or the error code.
std::uint32_t ShowOnConsole(int stream, const unsigned char* data, std::size_t length,
                            bool endLine) {
  const HANDLE handle = StandardHandle(stream);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  DWORD filled = 0;
  for (std::size_t i = 0; i < length; ++i)
    screen[filled++] = static_cast<wchar_t>(ShownCharacter(data[i]));
  if (endLine) {
    screen[filled++] = L'\r';
    screen[filled++] = L'\n';
  }
  for (DWORD done = 0; done < filled;) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, screen + done, filled - done, &written, nullptr)) return LastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return 0;
}

// Reads one byte with ReadFile; a read of nothing, a broken pipe and end of file end the input.
ReadResult ReadByte(int stream, unsigned char& byte, std::uint32_t& error) {
  const HANDLE handle = StandardHandle(stream);
  DWORD got = 0;
  if (handle != nullptr && ReadFile(handle, &byte, 1, &got, nullptr))
    return got == 1 ? ReadResult::BYTE : ReadResult::END;
  error = handle == nullptr ? ERROR_INVALID_HANDLE : LastError();
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return ReadResult::END;
  return ReadResult::FAILED;
}

// Ends the process with status as its exit code.
void EndProcess(int status) { ExitProcess(static_cast<UINT>(status)); }

// Returns the address of the program's image header, where the system loaded the image.
std::uintptr_t ImageBase() { return reinterpret_cast<std::uintptr_t>(&__ImageBase); }
