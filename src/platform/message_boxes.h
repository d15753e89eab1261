#pragma once

#include <string>

namespace quillomat::platform {

// The titles of the program's message boxes.
inline constexpr char kErrorTitle[] = "Error";
inline constexpr char kWarningTitle[] = "Warning";
inline constexpr char kSystemErrorTitle[] = "System Error";

enum class MessageButtons { kOk, kYesNo, kOkCancel, kYesNoCancel };
enum class MessageResult { kOk, kYes, kNo, kCancel };

// Modal message boxes with the exact title and text the program gives (cp1252 text).
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MessageResult Show(const std::string& title, const std::string& text,
                             MessageButtons buttons = MessageButtons::kOk) = 0;
};

}  // namespace quillomat::platform
