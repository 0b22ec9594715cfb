// Starts a program with one standard handle missing, which a shell cannot do under Wine (it
// reopens a closed descriptor), so that tests can see how the program copes:
//   null_handle_launcher input|output PROGRAM [ARGUMENT...]
// The other two standard handles are the launcher's own. Exits with the program's exit code, or
// with LAUNCH_FAILED when the program cannot be started.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr int LAUNCH_FAILED = 99;

// Appends argument to line in double quotes, as the C runtime's argument parser reads it back.
void AppendQuoted(std::string& line, const char* argument) {
  if (!line.empty()) line += ' ';
  line += '"';
  std::size_t backslashes = 0;
  for (const char* at = argument; *at != '\0'; ++at) {
    if (*at == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote are doubled, and the quote itself escaped.
      if (*at == '"') line.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    line += *at;
  }
  line.append(backslashes, '\\');
  line += '"';
}

}  // namespace

// Runs the program and returns its exit code.
int main(int argc, char** argv) {
  const bool noInput = argc >= 3 && std::strcmp(argv[1], "input") == 0;
  const bool noOutput = argc >= 3 && std::strcmp(argv[1], "output") == 0;
  if (!noInput && !noOutput) return LAUNCH_FAILED;
  std::string line;
  for (int i = 2; i < argc; ++i) AppendQuoted(line, argv[i]);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = noInput ? nullptr : GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = noOutput ? nullptr : GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[2], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return LAUNCH_FAILED;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = LAUNCH_FAILED;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
