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
  std::string program;  // executable base name, upper case; empty when unknown
  int pid = 0;          // the owning process, 0 when unknown
  bool visible = true;  // shown (a minimised window still counts as shown)
  bool minimized = false;
};

// A window's client area in screen coordinates.
struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class ShowCommand { kHide, kShow, kMinimize, kMaximize, kRestore };

// What became of a request: done, no such window, or refused (by the window manager, or a
// program that does not answer).
enum class WindowResult { kDone, kNoWindow, kRefused };

// Top-level windows of the desktop.
class Windows {
 public:
  virtual ~Windows() = default;
  // Top-level windows in stacking order, top first.
  virtual std::vector<WindowInfo> TopLevel() = 0;
  virtual WindowId Foreground() = 0;
  // Brings the window to the front and gives it the focus.
  virtual WindowResult Activate(WindowId window) = 0;
  virtual WindowResult Show(WindowId window, ShowCommand command) = 0;
  // Places the client area.
  virtual WindowResult MoveResize(WindowId window, int left, int top, int width, int height) = 0;
  virtual std::optional<WindowRect> Geometry(WindowId window) = 0;
  // Asks the window to close, as its close button does.
  virtual WindowResult Close(WindowId window) = 0;
  // Asks the window's program to end (it is sent SIGTERM when it runs on this machine).
  virtual WindowResult Quit(WindowId window) = 0;
};

}  // namespace quillomat::platform
