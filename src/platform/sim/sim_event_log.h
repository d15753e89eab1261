#pragma once

// One line per simulated event, in the order the events happened. The simulated desktop's
// parts report to it when one is attached; a sink sees each line as it is added.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillomat::sim {

class SimEventLog {
 public:
  void Add(std::string line) {
    if (sink_) sink_(line);
    lines_.push_back(std::move(line));
  }
  void SetSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
  const std::vector<std::string>& lines() const { return lines_; }
  void Clear() { lines_.clear(); }

  // Bytes outside 0x20..0x7E as \r \n \t or \xHH, and "\" as "\\", so a line stays one line.
  static std::string Escape(std::string_view text);
  // Escape, in double quotes (a quote inside is written \x22).
  static std::string Quote(std::string_view text);

 private:
  std::vector<std::string> lines_;
  std::function<void(const std::string&)> sink_;
};

}  // namespace quillomat::sim
