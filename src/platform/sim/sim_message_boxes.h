#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/message_boxes.h"

namespace quillomat::sim {

// Records every box shown and answers with scripted results (OK or Yes when none is left).
class SimMessageBoxes : public platform::MessageBoxes {
 public:
  struct Shown {
    std::string title;
    std::string text;
    platform::MessageButtons buttons;
  };

  platform::MessageResult Show(const std::string& title, const std::string& text,
                               platform::MessageButtons buttons) override;

  void Answer(platform::MessageResult result) { answers_.push_back(result); }
  const std::vector<Shown>& shown() const { return shown_; }
  void Clear() { shown_.clear(); }

 private:
  std::vector<Shown> shown_;
  std::deque<platform::MessageResult> answers_;
};

}  // namespace quillomat::sim
