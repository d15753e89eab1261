#include "platform/x11/x11_errors.h"

#include <mutex>
#include <set>

namespace quillomat::x11 {

namespace {

// Xlib keeps one error handler for the whole process, so the connections it serves for us
// are kept here.
struct Registry {
  std::mutex mu;
  std::set<Display*> ours;
  XErrorHandler previous = nullptr;
  bool installed = false;
};

// Never destroyed: connections may close during static destruction.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

thread_local ErrorTrap* current_trap = nullptr;

int OnError(Display* dpy, XErrorEvent* ev) {
  for (ErrorTrap* t = current_trap; t; t = nullptr) {
    if (t->display() == dpy) {
      t->Record(ev->error_code);
      return 0;
    }
  }
  Registry& r = TheRegistry();
  XErrorHandler previous;
  {
    std::lock_guard lock(r.mu);
    if (r.ours.count(dpy)) return 0;
    previous = r.previous;
  }
  return previous ? previous(dpy, ev) : 0;
}

}  // namespace

void InstallErrorTrap(Display* dpy) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mu);
  r.ours.insert(dpy);
  if (!r.installed) {
    r.previous = XSetErrorHandler(OnError);
    r.installed = true;
  }
}

void RemoveErrorTrap(Display* dpy) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mu);
  r.ours.erase(dpy);
}

ErrorTrap::ErrorTrap(Display* dpy) : dpy_(dpy), outer_(current_trap) { current_trap = this; }

ErrorTrap::~ErrorTrap() { current_trap = outer_; }

bool ErrorTrap::Failed() {
  XSync(dpy_, False);
  return error_ != 0;
}

}  // namespace quillomat::x11
