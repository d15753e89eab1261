#include "platform/sim/sim_message_boxes.h"

namespace quillomat::sim {

platform::MessageResult SimMessageBoxes::Show(const std::string& title, const std::string& text,
                                              platform::MessageButtons buttons) {
  shown_.push_back({title, text, buttons});
  if (!answers_.empty()) {
    auto answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  switch (buttons) {
    case platform::MessageButtons::kYesNo:
    case platform::MessageButtons::kYesNoCancel:
      return platform::MessageResult::kYes;
    default:
      return platform::MessageResult::kOk;
  }
}

}  // namespace quillomat::sim
