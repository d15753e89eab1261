#pragma once

#include <memory>

#include "platform/windows.h"

namespace quillomat::x11 {

// Top-level windows through EWMH when a window manager runs (detected by
// _NET_SUPPORTING_WM_CHECK), through plain Xlib otherwise, on a connection of its own.
class X11Windows : public platform::Windows {
 public:
  // nullptr when there is no display.
  static std::unique_ptr<X11Windows> Open(const char* display_name = nullptr);
  ~X11Windows() override;

  std::vector<platform::WindowInfo> TopLevel() override;
  platform::WindowId Foreground() override;
  platform::WindowResult Activate(platform::WindowId window) override;
  platform::WindowResult Show(platform::WindowId window, platform::ShowCommand command) override;
  platform::WindowResult MoveResize(platform::WindowId window, int left, int top, int width,
                                    int height) override;
  std::optional<platform::WindowRect> Geometry(platform::WindowId window) override;
  platform::WindowResult Close(platform::WindowId window) override;
  platform::WindowResult Quit(platform::WindowId window) override;

  // Whether a window manager runs (read afresh on each call).
  bool HasWindowManager();

  struct Impl;

 private:
  explicit X11Windows(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillomat::x11
