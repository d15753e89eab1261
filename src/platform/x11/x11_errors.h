#pragma once

#include <X11/Xlib.h>

namespace quillomat::x11 {

// Xlib's default error handler ends the process; windows of other programs can vanish at any
// moment, so every connection of ours answers errors quietly. Connections that are not ours
// keep the handler they had.
void InstallErrorTrap(Display* dpy);
void RemoveErrorTrap(Display* dpy);

// Collects the errors of requests made on this thread while it lives.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* dpy);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits for the server's answers so far; true when one of them was an error.
  bool Failed();
  void Record(unsigned char code) { error_ = code; }
  Display* display() const { return dpy_; }

 private:
  Display* dpy_;
  ErrorTrap* outer_;
  unsigned char error_ = 0;
};

}  // namespace quillomat::x11
