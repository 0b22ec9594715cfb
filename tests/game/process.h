// Runs programs as real processes with chosen standard descriptors, for the tests that check
// what a whole program delivers: its bytes, its reports and its exit status.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

inline constexpr int CLOSED = -1;          // the child gets this standard descriptor closed
inline constexpr int CAPTURE = -2;         // the child's descriptor is a pipe to or from us
inline constexpr int TIMEOUT_MS = 120000;  // bound on any wait for the child
inline constexpr int QUIET_MS = 300;       // how long a waiting child must stay silent
inline constexpr int KILLED_STATUS = 999;  // Finish's status for a child ended by a signal

// Owns a close-on-exec descriptor.
struct Fd {
  int fd = -1;
  ~Fd() { Close(); }
  // Closes the descriptor if it is open.
  void Close() {
    if (fd >= 0) close(fd);
    fd = -1;
  }
};

// A close-on-exec pipe, so that only the descriptors given to the child stay open in it.
struct Pipe {
  Fd read, write;
  Pipe() {
    int ends[2];
    EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
    read.fd = ends[0];
    write.fd = ends[1];
  }
};

// Opens path close-on-exec with flags; returns the descriptor.
inline int OpenPath(const char* path, int flags) {
  const int fd = open(path, flags | O_CLOEXEC);
  EXPECT_GE(fd, 0) << path;
  return fd;
}

// Starts program with args and fds as its descriptors 0, 1, 2 (CLOSED closes one); returns pid.
inline pid_t StartProgram(const char* program, const std::vector<const char*>& args,
                          std::array<int, 3> fds) {
  std::vector<char*> argv{const_cast<char*>(program)};
  for (const char* arg : args) argv.push_back(const_cast<char*>(arg));
  argv.push_back(nullptr);
  signal(SIGPIPE, SIG_IGN);  // our writes to a dead child must fail, not kill the test
  const pid_t pid = fork();
  if (pid == 0) {
    // First lift the given descriptors above 2, so that placing one cannot overwrite another
    // (the test process itself may have been started with a standard descriptor closed).
    for (int& fd : fds)
      if (fd != CLOSED) fd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    for (int target = 0; target < 3; ++target)
      fds[target] == CLOSED ? close(target) : dup2(fds[target], target);
    signal(SIGPIPE, SIG_DFL);  // the program must protect itself
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Reads from fd until count bytes, end of data or timeoutMs without data; returns what came.
inline std::string ReadFor(int fd, std::size_t count, int timeoutMs) {
  std::string got;
  pollfd watch{fd, POLLIN, 0};
  while (got.size() < count && poll(&watch, 1, timeoutMs) > 0) {
    char chunk[4096];
    const ssize_t n = read(fd, chunk, std::min(sizeof chunk, count - got.size()));
    if (n <= 0) break;  // EIO is how a pseudo-terminal reports that the child has gone
    got.append(chunk, static_cast<std::size_t>(n));
  }
  return got;
}

struct Outcome {
  int status;
  std::string out, err;
};

// Reads out and err (either may be -1) together to their end, so that a child filling one pipe
// while we wait on the other cannot hang, then reaps pid (killed if the pipes stay silent for
// TIMEOUT_MS); returns what it delivered.
inline Outcome Finish(pid_t pid, int out, int err) {
  Outcome outcome{KILLED_STATUS, "", ""};
  pollfd watch[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* into[2] = {&outcome.out, &outcome.err};
  while ((watch[0].fd >= 0 || watch[1].fd >= 0) && poll(watch, 2, TIMEOUT_MS) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (watch[i].fd < 0 || watch[i].revents == 0) continue;
      char chunk[4096];
      const ssize_t n = read(watch[i].fd, chunk, sizeof chunk);
      if (n <= 0)
        watch[i].fd = -1;  // poll skips negative descriptors; EIO is a pseudo-terminal's end
      else
        into[i]->append(chunk, static_cast<std::size_t>(n));
    }
  }
  if (watch[0].fd >= 0 || watch[1].fd >= 0) {
    ADD_FAILURE() << "the program did not end";
    kill(pid, SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  return outcome;
}

// A program started with standard input stdIn and output stdOut, each a descriptor, CLOSED or
// CAPTURE (a pipe whose other end we keep: in.write, out.read); standard error is always captured.
struct Child {
  Pipe in, out, err;
  pid_t pid;
  Child(const char* program, const std::vector<const char*>& args, int stdIn = CAPTURE,
        int stdOut = CAPTURE)
      : pid(StartProgram(program, args,
                         {stdIn == CAPTURE ? in.read.fd : stdIn,
                          stdOut == CAPTURE ? out.write.fd : stdOut, err.write.fd})) {
    in.read.Close();
    out.write.Close();
    err.write.Close();
  }
  // Reads what the child writes to our ends of its output and error to their end and reaps it.
  Outcome Finish() { return ::Finish(pid, out.read.fd, err.read.fd); }
};

// Runs program with standard input in and output out to its end; returns what it delivered.
inline Outcome RunProgram(const char* program, const std::vector<const char*>& args, int in,
                          int out = CAPTURE) {
  return Child(program, args, in, out).Finish();
}

// Tells whether run is a refusal of bad input: status 2, nothing on standard output, and on
// standard error one line of printable bytes that starts with prefix.
inline bool IsRefusal(const Outcome& run, const std::string& prefix) {
  const std::string& err = run.err;
  return run.status == 2 && run.out.empty() && err.starts_with(prefix) &&
         err.find('\n') == err.size() - 1 &&
         std::all_of(err.begin(), err.end() - 1, [](char c) { return c >= ' ' && c < 0x7F; });
}
