#include "platform/x11/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "platform/cp1252.h"
#include "platform/x11/x11_errors.h"

namespace quillomat::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using platform::ShowCommand;
using platform::WindowId;
using platform::WindowInfo;
using platform::WindowResult;

// How long a window manager gets to carry out a request before it counts as refused.
constexpr std::chrono::milliseconds kWmAnswer{1000};

constexpr long kSourcePager = 2;  // EWMH source indication: a pager or taskbar, always obeyed
constexpr long kNetWmStateRemove = 0, kNetWmStateAdd = 1;

std::string ProgramOf(int pid) {
  std::error_code ec;
  const std::filesystem::path proc = "/proc/" + std::to_string(pid);
  auto exe = std::filesystem::read_symlink(proc / "exe", ec);
  std::string name;
  if (!ec) {
    name = exe.filename().string();
    if (auto cut = name.find(" (deleted)"); cut != std::string::npos) name.erase(cut);
  }
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return name;
}

}  // namespace

struct X11Windows::Impl {
  Display* dpy = nullptr;
  Window root = 0;
  std::mutex mu;
  // Windows we hid ourselves: a window manager drops them from its lists, but a title search
  // still has to find them to show them again.
  std::set<Window> hidden;
  std::string host;

  struct Atoms {
    Atom wm_check, client_list_stacking, client_list, wm_name, utf8, wm_pid, active, wm_state,
        state_hidden, state_max_v, state_max_h, close, moveresize, protocols, delete_window,
        icccm_state, client_machine;
  } a{};

  // The XRes extension, when the library is there: the pid of a window without _NET_WM_PID.
  void* xres = nullptr;
  using QueryIds = Status (*)(Display*, long, XResClientIdSpec*, long*, XResClientIdValue**);
  using GetPid = pid_t (*)(XResClientIdValue*);
  using DestroyIds = void (*)(long, XResClientIdValue*);
  QueryIds query_ids = nullptr;
  GetPid get_pid = nullptr;
  DestroyIds destroy_ids = nullptr;

  ~Impl() {
    if (xres) dlclose(xres);
  }

  void InternAtoms() {
    const char* names[] = {"_NET_SUPPORTING_WM_CHECK",
                           "_NET_CLIENT_LIST_STACKING",
                           "_NET_CLIENT_LIST",
                           "_NET_WM_NAME",
                           "UTF8_STRING",
                           "_NET_WM_PID",
                           "_NET_ACTIVE_WINDOW",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_HIDDEN",
                           "_NET_WM_STATE_MAXIMIZED_VERT",
                           "_NET_WM_STATE_MAXIMIZED_HORZ",
                           "_NET_CLOSE_WINDOW",
                           "_NET_MOVERESIZE_WINDOW",
                           "WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "WM_STATE",
                           "WM_CLIENT_MACHINE"};
    Atom atoms[std::size(names)];
    XInternAtoms(dpy, const_cast<char**>(names), std::size(names), False, atoms);
    Atom* out[] = {&a.wm_check,      &a.client_list_stacking,
                   &a.client_list,   &a.wm_name,
                   &a.utf8,          &a.wm_pid,
                   &a.active,        &a.wm_state,
                   &a.state_hidden,  &a.state_max_v,
                   &a.state_max_h,   &a.close,
                   &a.moveresize,    &a.protocols,
                   &a.delete_window, &a.icccm_state,
                   &a.client_machine};
    for (size_t i = 0; i < std::size(out); ++i) *out[i] = atoms[i];
  }

  void LoadXRes() {
    xres = dlopen("libXRes.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xres) return;
    query_ids = reinterpret_cast<QueryIds>(dlsym(xres, "XResQueryClientIds"));
    get_pid = reinterpret_cast<GetPid>(dlsym(xres, "XResGetClientPid"));
    destroy_ids = reinterpret_cast<DestroyIds>(dlsym(xres, "XResClientIdsDestroy"));
    int ev, err;
    using QueryExt = Bool (*)(Display*, int*, int*);
    auto query_ext = reinterpret_cast<QueryExt>(dlsym(xres, "XResQueryExtension"));
    if (!query_ids || !get_pid || !destroy_ids || !query_ext || !query_ext(dpy, &ev, &err)) {
      query_ids = nullptr;
    }
  }

  // --- properties -----------------------------------------------------------------------

  std::vector<unsigned long> Longs(Window w, Atom property, Atom type) {
    ErrorTrap trap(dpy);
    Atom actual;
    int format;
    unsigned long count = 0, rest;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    if (XGetWindowProperty(dpy, w, property, 0, 1 << 16, False, type, &actual, &format, &count,
                           &rest, &data) == Success &&
        data && format == 32) {
      auto* values = reinterpret_cast<unsigned long*>(data);
      out.assign(values, values + count);
    }
    if (data) XFree(data);
    return out;
  }

  std::string Utf8Property(Window w, Atom property) {
    ErrorTrap trap(dpy);
    Atom actual;
    int format;
    unsigned long count = 0, rest;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(dpy, w, property, 0, 1 << 16, False, a.utf8, &actual, &format, &count,
                           &rest, &data) == Success &&
        data && actual == a.utf8 && format == 8) {
      out.assign(reinterpret_cast<char*>(data), count);
    }
    if (data) XFree(data);
    return out;
  }

  // A text property of the ICCCM kind (STRING, COMPOUND_TEXT or UTF8_STRING) as UTF-8.
  std::string TextProperty(Window w, Atom property) {
    ErrorTrap trap(dpy);
    XTextProperty prop{};
    std::string out;
    if (!XGetTextProperty(dpy, w, &prop, property) || !prop.value) return out;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(dpy, &prop, &list, &count) >= Success && list) {
      if (count > 0 && list[0]) out = list[0];
      XFreeStringList(list);
    } else if (prop.encoding == XA_STRING) {
      for (unsigned long i = 0; i < prop.nitems; ++i) {
        const unsigned char c = prop.value[i];
        if (c < 0x80) {
          out += static_cast<char>(c);
        } else {
          out += static_cast<char>(0xC0 | (c >> 6));
          out += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
    }
    XFree(prop.value);
    return out;
  }

  Window WindowManagerCheck() {
    auto check = Longs(root, a.wm_check, XA_WINDOW);
    if (check.empty()) return 0;
    auto self = Longs(check[0], a.wm_check, XA_WINDOW);
    return !self.empty() && self[0] == check[0] ? check[0] : 0;
  }

  bool HasWm() { return WindowManagerCheck() != 0; }

  bool Exists(Window w) {
    ErrorTrap trap(dpy);
    XWindowAttributes attrs;
    return XGetWindowAttributes(dpy, w, &attrs) && !trap.Failed();
  }

  bool Viewable(Window w) {
    ErrorTrap trap(dpy);
    XWindowAttributes attrs;
    return XGetWindowAttributes(dpy, w, &attrs) && !trap.Failed() && attrs.map_state == IsViewable;
  }

  std::set<Atom> States(Window w) {
    auto v = Longs(w, a.wm_state, XA_ATOM);
    return {v.begin(), v.end()};
  }

  bool Iconic(Window w) {
    if (States(w).count(a.state_hidden)) return true;
    auto v = Longs(w, a.icccm_state, a.icccm_state);
    return !v.empty() && v[0] == IconicState;
  }

  int PidOf(Window w) {
    auto v = Longs(w, a.wm_pid, XA_CARDINAL);
    if (!v.empty()) return static_cast<int>(v[0]);
    if (!query_ids) return 0;
    ErrorTrap trap(dpy);
    XResClientIdSpec spec{w, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* ids = nullptr;
    int pid = 0;
    if (query_ids(dpy, 1, &spec, &count, &ids) == Success) {
      for (long i = 0; i < count && pid <= 0; ++i) pid = get_pid(&ids[i]);
      destroy_ids(count, ids);
    }
    return pid > 0 ? pid : 0;
  }

  // A pid means something here only for a program on this machine.
  bool Local(Window w) {
    const std::string machine = TextProperty(w, a.client_machine);
    return machine.empty() || machine == host || machine == "localhost";
  }

  WindowInfo Info(Window w) {
    WindowInfo info;
    info.id = w;
    std::string title = Utf8Property(w, a.wm_name);
    if (title.empty()) title = TextProperty(w, XA_WM_NAME);
    info.title = platform::Utf8ToCp1252(title);
    info.minimized = Iconic(w);
    info.visible = info.minimized || Viewable(w);
    if (Local(w)) {
      info.pid = PidOf(w);
      if (info.pid) info.program = ProgramOf(info.pid);
    }
    return info;
  }

  // Top-level windows, top first.
  std::vector<Window> Stack() {
    std::vector<Window> out;
    if (HasWm()) {
      auto list = Longs(root, a.client_list_stacking, XA_WINDOW);
      if (list.empty()) list = Longs(root, a.client_list, XA_WINDOW);
      for (auto it = list.rbegin(); it != list.rend(); ++it) out.push_back(*it);
    } else {
      ErrorTrap trap(dpy);
      Window root_return, parent;
      Window* children = nullptr;
      unsigned count = 0;
      if (XQueryTree(dpy, root, &root_return, &parent, &children, &count)) {
        for (unsigned i = count; i-- > 0;) {
          XWindowAttributes attrs;
          if (!XGetWindowAttributes(dpy, children[i], &attrs) || attrs.override_redirect ||
              attrs.c_class != InputOutput) {
            continue;
          }
          if (attrs.map_state == IsViewable || hidden.count(children[i]) ||
              !TextProperty(children[i], XA_WM_NAME).empty() ||
              !Utf8Property(children[i], a.wm_name).empty()) {
            out.push_back(children[i]);
          }
        }
        if (children) XFree(children);
      }
    }
    // Windows we hid stay findable, at the bottom, while they exist.
    for (auto it = hidden.begin(); it != hidden.end();) {
      if (!Exists(*it) || Viewable(*it)) {
        it = hidden.erase(it);
        continue;
      }
      if (std::find(out.begin(), out.end(), *it) == out.end()) out.push_back(*it);
      ++it;
    }
    return out;
  }

  // --- requests -------------------------------------------------------------------------

  void SendToRoot(Window w, Atom type, long l0, long l1 = 0, long l2 = 0, long l3 = 0,
                  long l4 = 0) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    ev.xclient.data.l[3] = l3;
    ev.xclient.data.l[4] = l4;
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(dpy);
  }

  // Polls until the condition holds or the window manager's time is up.
  template <typename Fn>
  bool Until(Fn done) {
    const auto deadline = Clock::now() + kWmAnswer;
    for (;;) {
      if (done()) return true;
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  WindowId Active() {
    if (HasWm()) {
      auto v = Longs(root, a.active, XA_WINDOW);
      return v.empty() ? platform::kNoWindow : v[0];
    }
    Window focus = 0;
    int revert;
    XGetInputFocus(dpy, &focus, &revert);
    return TopLevelOf(focus);
  }

  // The child of the root that holds w.
  Window TopLevelOf(Window w) {
    ErrorTrap trap(dpy);
    while (w && w != PointerRoot && w != root) {
      Window root_return, parent = 0;
      Window* children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(dpy, w, &root_return, &parent, &children, &count)) return 0;
      if (children) XFree(children);
      if (parent == root) return w;
      w = parent;
    }
    return 0;
  }

  WindowResult DoActivate(Window w) {
    if (!Exists(w)) return WindowResult::kNoWindow;
    hidden.erase(w);
    if (HasWm()) {
      if (!Viewable(w) && !Iconic(w)) XMapWindow(dpy, w);
      SendToRoot(w, a.active, kSourcePager, CurrentTime, 0);
      return Until([&] { return Active() == w && Viewable(w); }) ? WindowResult::kDone
                                                                 : WindowResult::kRefused;
    }
    ErrorTrap trap(dpy);
    XMapRaised(dpy, w);
    XSync(dpy, False);
    if (!Until([&] { return Viewable(w); })) return WindowResult::kRefused;
    XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
    XSync(dpy, False);
    return Active() == w ? WindowResult::kDone : WindowResult::kRefused;
  }

  std::optional<platform::WindowRect> Rect(Window w) {
    ErrorTrap trap(dpy);
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, w, &attrs) || trap.Failed()) return std::nullopt;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child);
    if (trap.Failed()) return std::nullopt;
    return platform::WindowRect{x, y, attrs.width, attrs.height};
  }

  WindowResult SetMaximized(Window w, bool on) {
    SendToRoot(w, a.wm_state, on ? kNetWmStateAdd : kNetWmStateRemove,
               static_cast<long>(a.state_max_v), static_cast<long>(a.state_max_h), kSourcePager);
    return Until([&] {
      const auto s = States(w);
      return (s.count(a.state_max_v) && s.count(a.state_max_h)) == on;
    })
               ? WindowResult::kDone
               : WindowResult::kRefused;
  }

  WindowResult DoShow(Window w, ShowCommand command) {
    if (!Exists(w)) return WindowResult::kNoWindow;
    const bool wm = HasWm();
    ErrorTrap trap(dpy);
    switch (command) {
      case ShowCommand::kHide:
        XWithdrawWindow(dpy, w, DefaultScreen(dpy));
        XSync(dpy, False);
        hidden.insert(w);
        return Until([&] { return !Viewable(w); }) ? WindowResult::kDone : WindowResult::kRefused;
      case ShowCommand::kShow:
        hidden.erase(w);
        if (Viewable(w) || Iconic(w)) return WindowResult::kDone;
        XMapWindow(dpy, w);
        XSync(dpy, False);
        return Until([&] { return Viewable(w); }) ? WindowResult::kDone : WindowResult::kRefused;
      case ShowCommand::kMinimize:
        if (!wm) return WindowResult::kRefused;  // nobody to keep an icon
        XIconifyWindow(dpy, w, DefaultScreen(dpy));
        XSync(dpy, False);
        return Until([&] { return Iconic(w) && !Viewable(w); }) ? WindowResult::kDone
                                                                : WindowResult::kRefused;
      case ShowCommand::kMaximize: {
        if (wm) {
          if (Iconic(w)) DoActivate(w);
          return SetMaximized(w, true);
        }
        Window r;
        int x, y;
        unsigned width, height, border, depth;
        XGetGeometry(dpy, root, &r, &x, &y, &width, &height, &border, &depth);
        XMoveResizeWindow(dpy, w, 0, 0, width, height);
        XSync(dpy, False);
        return WindowResult::kDone;
      }
      case ShowCommand::kRestore:
        hidden.erase(w);
        if (wm) {
          if (Iconic(w) || !Viewable(w)) {
            const WindowResult r = DoActivate(w);
            if (r != WindowResult::kDone) return r;
          }
          const auto s = States(w);
          if (s.count(a.state_max_v) || s.count(a.state_max_h)) return SetMaximized(w, false);
          return WindowResult::kDone;
        }
        XMapWindow(dpy, w);
        XSync(dpy, False);
        return WindowResult::kDone;
    }
    return WindowResult::kRefused;
  }

  WindowResult DoMoveResize(Window w, int left, int top, int width, int height) {
    if (!Exists(w)) return WindowResult::kNoWindow;
    if (width <= 0 || height <= 0) return WindowResult::kRefused;
    ErrorTrap trap(dpy);
    if (HasWm()) {
      // StaticGravity: the numbers place the client area, not the frame around it.
      const long flags =
          StaticGravity | (1L << 8) | (1L << 9) | (1L << 10) | (1L << 11) | (kSourcePager << 12);
      SendToRoot(w, a.moveresize, flags, left, top, width, height);
    } else {
      XMoveResizeWindow(dpy, w, left, top, width, height);
      XSync(dpy, False);
    }
    return Until([&] {
      auto r = Rect(w);
      return r && r->left == left && r->top == top && r->width == width && r->height == height;
    })
               ? WindowResult::kDone
               : WindowResult::kRefused;
  }

  bool SupportsDelete(Window w) {
    ErrorTrap trap(dpy);
    Atom* protocols = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(dpy, w, &protocols, &count)) {
      found = std::find(protocols, protocols + count, a.delete_window) != protocols + count;
      XFree(protocols);
    }
    return found;
  }

  WindowResult DoClose(Window w) {
    if (!Exists(w)) return WindowResult::kNoWindow;
    ErrorTrap trap(dpy);
    if (HasWm()) {
      SendToRoot(w, a.close, CurrentTime, kSourcePager);
      return WindowResult::kDone;
    }
    if (SupportsDelete(w)) {
      XEvent ev{};
      ev.xclient.type = ClientMessage;
      ev.xclient.window = w;
      ev.xclient.message_type = a.protocols;
      ev.xclient.format = 32;
      ev.xclient.data.l[0] = static_cast<long>(a.delete_window);
      ev.xclient.data.l[1] = CurrentTime;
      XSendEvent(dpy, w, False, NoEventMask, &ev);
    } else {
      XKillClient(dpy, w);
    }
    XSync(dpy, False);
    return WindowResult::kDone;
  }

  WindowResult DoQuit(Window w) {
    if (!Exists(w)) return WindowResult::kNoWindow;
    if (!Local(w)) return WindowResult::kRefused;
    const int pid = PidOf(w);
    if (pid <= 0 || pid == getpid()) return WindowResult::kRefused;
    return kill(pid, SIGTERM) == 0 ? WindowResult::kDone : WindowResult::kRefused;
  }
};

X11Windows::X11Windows(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<X11Windows> X11Windows::Open(const char* display_name) {
  Display* dpy = XOpenDisplay(display_name && *display_name ? display_name : nullptr);
  if (!dpy) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->dpy = dpy;
  impl->root = DefaultRootWindow(dpy);
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  impl->host = host;
  impl->InternAtoms();
  InstallErrorTrap(dpy);
  impl->LoadXRes();
  return std::unique_ptr<X11Windows>(new X11Windows(std::move(impl)));
}

X11Windows::~X11Windows() {
  RemoveErrorTrap(impl_->dpy);
  XCloseDisplay(impl_->dpy);
}

std::vector<WindowInfo> X11Windows::TopLevel() {
  std::lock_guard lock(impl_->mu);
  std::vector<WindowInfo> out;
  for (Window w : impl_->Stack()) {
    if (impl_->Exists(w)) out.push_back(impl_->Info(w));
  }
  return out;
}

WindowId X11Windows::Foreground() {
  std::lock_guard lock(impl_->mu);
  return impl_->Active();
}

WindowResult X11Windows::Activate(WindowId window) {
  std::lock_guard lock(impl_->mu);
  return impl_->DoActivate(window);
}

WindowResult X11Windows::Show(WindowId window, ShowCommand command) {
  std::lock_guard lock(impl_->mu);
  return impl_->DoShow(window, command);
}

WindowResult X11Windows::MoveResize(WindowId window, int left, int top, int width, int height) {
  std::lock_guard lock(impl_->mu);
  return impl_->DoMoveResize(window, left, top, width, height);
}

std::optional<platform::WindowRect> X11Windows::Geometry(WindowId window) {
  std::lock_guard lock(impl_->mu);
  return impl_->Rect(window);
}

WindowResult X11Windows::Close(WindowId window) {
  std::lock_guard lock(impl_->mu);
  return impl_->DoClose(window);
}

WindowResult X11Windows::Quit(WindowId window) {
  std::lock_guard lock(impl_->mu);
  return impl_->DoQuit(window);
}

bool X11Windows::HasWindowManager() {
  std::lock_guard lock(impl_->mu);
  return impl_->HasWm();
}

}  // namespace quillomat::x11
