#pragma once

#include "platform/clipboard.h"

namespace quillomat::qtp {

// The desktop's CLIPBOARD selection, owned by the resident program.
class QtClipboard : public platform::Clipboard {
 public:
  bool SetText(const std::string& text) override;
  std::string Text() override;
};

}  // namespace quillomat::qtp
