#pragma once

#include <string>

namespace quillomat::platform {

// Plain-text clipboard, cp1252 text.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual bool SetText(const std::string& text) = 0;
  virtual std::string Text() = 0;
};

}  // namespace quillomat::platform
