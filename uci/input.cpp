// The engine's input and its reading thread.
#include "uci/input.h"

#include <istream>
#include <sstream>

bool ReadUciLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  bool any = false;
  for (int c; (c = buffer->sbumpc()) != std::char_traits<char>::eof();) {
    any = true;
    if (c == '\n') break;
    if (tooLong) continue;  // the rest of an over-long line is read and dropped
    line += static_cast<char>(c);
    if (line.size() > UCI_MAX_LINE + 1) {  // + 1: room for the CR of a CR LF end
      tooLong = true;
      line.clear();
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > UCI_MAX_LINE) {
    tooLong = true;
    line.clear();
  }
  if (!any) in.setstate(std::ios::eofbit);
  return any;
}

std::string CommandOf(const std::string& line) {
  std::string command;
  std::istringstream(line) >> command;
  return command;
}

void InputQueue::Add(InputLine line) {
  {
    // Under the lock, so that a wait for fresh lines cannot miss this one.
    std::lock_guard lock(mutex);
    lines.push_back(std::move(line));
    fresh.store(true, std::memory_order_relaxed);
  }
  arrived.notify_one();
}

InputLine InputQueue::Take() {
  std::unique_lock lock(mutex);
  arrived.wait(lock, [&] { return !lines.empty(); });
  InputLine line = std::move(lines.front());
  lines.pop_front();
  return line;
}

void InputQueue::WaitForFresh() {
  std::unique_lock lock(mutex);
  arrived.wait(lock, [&] { return fresh.load(std::memory_order_relaxed); });
}

void ReadInput(std::istream& in, std::shared_ptr<InputQueue> input) {
  std::string line;
  bool tooLong = false;
  while (ReadUciLine(in, line, tooLong)) {
    bool quit = !tooLong && CommandOf(line) == "quit";
    input->Add({line, tooLong, false});
    if (quit) return;
  }
  input->Add({"", false, true});
}
