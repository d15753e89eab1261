#pragma once

#include "platform/message_boxes.h"

namespace quillomat::qtp {

// Modal message boxes, centred on the active window (or the screen).
class QtMessageBoxes : public platform::MessageBoxes {
 public:
  platform::MessageResult Show(const std::string& title, const std::string& text,
                               platform::MessageButtons buttons) override;
};

}  // namespace quillomat::qtp
