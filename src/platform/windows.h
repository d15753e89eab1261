#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillomat::platform {

using WindowId = uint64_t;
inline constexpr WindowId kNoWindow = 0;

struct WindowInfo {
  WindowId id = kNoWindow;
  std::string title;    // cp1252
  std::string program;  // executable base name, upper case
  bool visible = true;
};

struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class ShowCommand { kHide, kShow, kMinimize, kMaximize, kRestore };

// Top-level windows of the desktop.
class Windows {
 public:
  virtual ~Windows() = default;
  // Top-level windows in stacking order, top first.
  virtual std::vector<WindowInfo> TopLevel() = 0;
  virtual WindowId Foreground() = 0;
  // Brings the window to the front and gives it the focus; false when that was refused.
  virtual bool Activate(WindowId window) = 0;
  virtual bool Show(WindowId window, ShowCommand command) = 0;
  virtual bool MoveResize(WindowId window, int left, int top, int width, int height) = 0;
  virtual bool Close(WindowId window) = 0;
  // Where the window is on the screen; nothing when that cannot be told.
  virtual std::optional<WindowRect> Geometry(WindowId window) { return std::nullopt; }
};

}  // namespace quillomat::platform
