#include "platform/x11/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "platform/cp1252.h"
#include "platform/x11/x11_errors.h"

namespace quillomat::x11 {

namespace {

using Clock = std::chrono::steady_clock;

// Larger answers go in pieces (INCR), as the requestor's server may refuse one big property.
constexpr size_t kIncrThreshold = 256 * 1024;
constexpr size_t kIncrChunk = 64 * 1024;

struct Atoms {
  Atom clipboard, targets, utf8, text, incr, timestamp, property, multiple, atom_pair;
  explicit Atoms(Display* dpy) {
    clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    targets = XInternAtom(dpy, "TARGETS", False);
    utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    text = XInternAtom(dpy, "TEXT", False);
    incr = XInternAtom(dpy, "INCR", False);
    timestamp = XInternAtom(dpy, "TIMESTAMP", False);
    property = XInternAtom(dpy, "QUILLOMAT_SELECTION", False);
    multiple = XInternAtom(dpy, "MULTIPLE", False);
    atom_pair = XInternAtom(dpy, "ATOM_PAIR", False);
  }
};

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    char32_t u = c;
    size_t n = 1;
    if (c >= 0xF0)
      u = c & 0x07, n = 4;
    else if (c >= 0xE0)
      u = c & 0x0F, n = 3;
    else if (c >= 0xC0)
      u = c & 0x1F, n = 2;
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k) {
      u = (u << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += n;
    out += u < 0x100 ? static_cast<char>(u) : '?';
  }
  return out;
}

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string out;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The owner's side of the selection: ownership with a server timestamp, answers to
// requests (in pieces for large texts), and the loss of ownership.
class Server {
 public:
  Server(Display* dpy, Window win, const Atoms& atoms) : dpy_(dpy), win_(win), a_(atoms) {}

  // A real server time: the time of a property change on our own window.
  Time ServerTime() {
    XChangeProperty(dpy_, win_, a_.timestamp, a_.timestamp, 8, PropModeAppend, nullptr, 0);
    XEvent ev;
    while (!XCheckTypedWindowEvent(dpy_, win_, PropertyNotify, &ev) ||
           ev.xproperty.atom != a_.timestamp) {
      pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
      XFlush(dpy_);
      poll(&fd, 1, 50);
    }
    return ev.xproperty.time;
  }

  bool Own(const std::string& utf8) {
    text_ = utf8;
    owned_since_ = ServerTime();
    XSetSelectionOwner(dpy_, a_.clipboard, win_, owned_since_);
    owned_ = XGetSelectionOwner(dpy_, a_.clipboard) == win_;
    return owned_;
  }

  bool owned() const { return owned_; }
  const std::string& text() const { return text_; }

  // Handles one event; true when it was ours.
  bool Handle(const XEvent& ev) {
    if (ev.type == SelectionClear && ev.xselectionclear.selection == a_.clipboard) {
      owned_ = false;
      return true;
    }
    if (ev.type == SelectionRequest) {
      Answer(ev.xselectionrequest);
      return true;
    }
    if (ev.type == PropertyNotify && ev.xproperty.state == PropertyDelete) {
      auto it = transfers_.find({ev.xproperty.window, ev.xproperty.atom});
      if (it != transfers_.end()) {
        // The requestor took the last piece: the next one, or the empty end.
        Transfer& t = it->second;
        const size_t n = std::min(kIncrChunk, t.data.size() - t.sent);
        XChangeProperty(dpy_, ev.xproperty.window, ev.xproperty.atom, t.type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(t.data.data() + t.sent),
                        static_cast<int>(n));
        t.sent += n;
        if (n == 0) {
          XSelectInput(dpy_, ev.xproperty.window, NoEventMask);
          transfers_.erase(it);
        }
        XFlush(dpy_);
      }
      return true;
    }
    return false;
  }

 private:
  struct Transfer {
    std::string data;
    Atom type;
    size_t sent = 0;
  };

  // Puts one target's data on the requestor's property; false for a target we do not offer.
  bool Put(Window requestor, Atom property, Atom target, Time time) {
    if (target == a_.targets) {
      const Atom list[] = {a_.targets, a_.timestamp, a_.utf8, XA_STRING, a_.text};
      XChangeProperty(dpy_, requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list), std::size(list));
      return true;
    }
    if (target == a_.timestamp) {
      const long t = static_cast<long>(owned_since_);
      XChangeProperty(dpy_, requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&t), 1);
      return true;
    }
    std::string data;
    Atom type;
    if (target == a_.utf8 || target == a_.text) {
      data = text_;
      type = a_.utf8;
    } else if (target == XA_STRING) {
      data = Utf8ToLatin1(text_);
      type = XA_STRING;
    } else {
      return false;
    }
    if (data.size() > kIncrThreshold) {
      XSelectInput(dpy_, requestor, PropertyChangeMask);
      const long size = static_cast<long>(data.size());
      XChangeProperty(dpy_, requestor, property, a_.incr, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&size), 1);
      transfers_[{requestor, property}] = Transfer{std::move(data), type, 0};
      return true;
    }
    XChangeProperty(dpy_, requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
    return true;
  }

  void Answer(const XSelectionRequestEvent& req) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = req.display;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    // Old clients name no property: the target is the property then.
    const Atom property = req.property == None ? req.target : req.property;
    reply.property = None;
    const bool in_time = req.time == CurrentTime || req.time >= owned_since_;
    if (owned_ && req.selection == a_.clipboard && in_time) {
      if (req.target == a_.multiple && req.property != None) {
        Atom type;
        int format;
        unsigned long count = 0, rest;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, req.requestor, req.property, 0, 1 << 16, False, a_.atom_pair,
                               &type, &format, &count, &rest, &data) == Success &&
            data && format == 32) {
          auto* pairs = reinterpret_cast<Atom*>(data);
          for (unsigned long i = 0; i + 1 < count; i += 2) {
            if (!Put(req.requestor, pairs[i + 1], pairs[i], req.time)) pairs[i + 1] = None;
          }
          XChangeProperty(dpy_, req.requestor, req.property, a_.atom_pair, 32, PropModeReplace,
                          data, static_cast<int>(count));
          reply.property = req.property;
        }
        if (data) XFree(data);
      } else if (Put(req.requestor, property, req.target, req.time)) {
        reply.property = property;
      }
    }
    XSendEvent(dpy_, req.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(dpy_);
  }

  Display* dpy_;
  Window win_;
  const Atoms& a_;
  std::string text_;
  Time owned_since_ = CurrentTime;
  bool owned_ = false;
  std::map<std::pair<Window, Atom>, Transfer> transfers_;
};

Window MakeWindow(Display* dpy) {
  Window win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(dpy, win, PropertyChangeMask);
  return win;
}

}  // namespace

struct X11Clipboard::Impl {
  Display* dpy = nullptr;
  Window win = 0;
  std::unique_ptr<Atoms> atoms;
  std::unique_ptr<Server> server;
  std::thread thread;
  int wake[2] = {-1, -1};
  std::mutex mu;
  std::condition_variable cv;
  std::vector<std::function<void()>> tasks;
  bool stop = false;
  // A read in progress: the answer arrives as SelectionNotify and possibly in pieces.
  struct Read {
    bool active = false, done = false, incr = false;
    Atom target = None;
    std::string data;
    Clock::time_point deadline;
  } read;
  std::function<void(std::string)> read_done;

  // Runs fn on the clipboard thread and waits for it.
  template <typename Fn>
  auto Call(Fn fn) -> decltype(fn()) {
    std::unique_lock lock(mu);
    bool finished = false;
    decltype(fn()) result{};
    tasks.push_back([&] {
      result = fn();
      std::lock_guard inner(mu);
      finished = true;
      cv.notify_all();
    });
    char c = 1;
    [[maybe_unused]] auto n = write(wake[1], &c, 1);
    cv.wait(lock, [&] { return finished; });
    return result;
  }

  void StartRead(Atom target) {
    read = Read{};
    read.active = true;
    read.target = target;
    read.deadline = Clock::now() + std::chrono::seconds(1);
    XDeleteProperty(dpy, win, atoms->property);
    XConvertSelection(dpy, atoms->clipboard, target, atoms->property, win, CurrentTime);
    XFlush(dpy);
  }

  void FinishRead(bool ok) {
    read.active = false;
    if (!ok && read.target == atoms->utf8) {
      StartRead(XA_STRING);  // an owner that only knows Latin-1
      return;
    }
    std::string text = !ok                        ? std::string()
                       : read.target == XA_STRING ? Latin1ToUtf8(read.data)
                                                  : read.data;
    if (read_done) {
      auto done = std::move(read_done);
      read_done = nullptr;
      done(std::move(text));
    }
  }

  // Takes the whole property off our window; false when it is not there.
  bool TakeProperty(std::string* out, Atom* type_out) {
    Atom type;
    int format;
    unsigned long count = 0, rest = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, win, atoms->property, 0, 1 << 24, True, AnyPropertyType, &type,
                           &format, &count, &rest, &data) != Success) {
      return false;
    }
    if (type_out) *type_out = type;
    if (data) {
      out->assign(reinterpret_cast<char*>(data), count * (format / 8));
      XFree(data);
    }
    return type != None;
  }

  void OnEvent(const XEvent& ev) {
    if (server->Handle(ev) && ev.type != PropertyNotify) return;
    if (!read.active) return;
    if (ev.type == SelectionNotify && ev.xselection.requestor == win) {
      if (ev.xselection.property == None) return FinishRead(false);
      std::string data;
      Atom type = None;
      if (!TakeProperty(&data, &type)) return FinishRead(false);
      if (type == atoms->incr) {
        read.incr = true;  // pieces follow, each announced by a new value of the property
        return;
      }
      read.data = data;
      return FinishRead(true);
    }
    if (ev.type == PropertyNotify && read.incr && ev.xproperty.window == win &&
        ev.xproperty.atom == atoms->property && ev.xproperty.state == PropertyNewValue) {
      std::string piece;
      TakeProperty(&piece, nullptr);
      if (piece.empty()) return FinishRead(true);
      read.data += piece;
    }
  }

  void Loop() {
    for (;;) {
      std::vector<std::function<void()>> todo;
      {
        std::lock_guard lock(mu);
        if (stop) return;
        todo.swap(tasks);
      }
      for (auto& t : todo) t();
      while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        OnEvent(ev);
      }
      if (read.active && Clock::now() > read.deadline) FinishRead(false);
      pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {wake[0], POLLIN, 0}};
      poll(fds, 2, read.active ? 20 : 1000);
      if (fds[1].revents & POLLIN) {
        char buf[64];
        [[maybe_unused]] auto n = read_pipe(buf, sizeof buf);
      }
    }
  }

  ssize_t read_pipe(char* buf, size_t n) { return ::read(wake[0], buf, n); }
};

X11Clipboard::X11Clipboard(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<X11Clipboard> X11Clipboard::Open(const char* display_name) {
  Display* dpy = XOpenDisplay(display_name && *display_name ? display_name : nullptr);
  if (!dpy) return nullptr;
  auto impl = std::make_unique<Impl>();
  if (pipe2(impl->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(dpy);
    return nullptr;
  }
  impl->dpy = dpy;
  InstallErrorTrap(dpy);
  impl->win = MakeWindow(dpy);
  impl->atoms = std::make_unique<Atoms>(dpy);
  impl->server = std::make_unique<Server>(dpy, impl->win, *impl->atoms);
  XFlush(dpy);
  Impl* raw = impl.get();
  impl->thread = std::thread([raw] { raw->Loop(); });
  return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(impl)));
}

X11Clipboard::~X11Clipboard() {
  {
    std::lock_guard lock(impl_->mu);
    impl_->stop = true;
  }
  char c = 1;
  [[maybe_unused]] auto n = write(impl_->wake[1], &c, 1);
  impl_->thread.join();
  RemoveErrorTrap(impl_->dpy);
  XCloseDisplay(impl_->dpy);
  close(impl_->wake[0]);
  close(impl_->wake[1]);
}

bool X11Clipboard::SetText(const std::string& text) {
  const std::string utf8 = platform::Cp1252ToUtf8(text);
  return impl_->Call([&] { return impl_->server->Own(utf8); });
}

std::string X11Clipboard::Text() {
  Impl& d = *impl_;
  {
    // Our own text needs no round trip (and no thread hop while we own it).
    std::string ours;
    const bool owned = d.Call([&] {
      if (d.server->owned() && XGetSelectionOwner(d.dpy, d.atoms->clipboard) == d.win) {
        ours = d.server->text();
        return true;
      }
      return false;
    });
    if (owned) return platform::Utf8ToCp1252(ours);
  }
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::string result;
  d.Call([&] {
    if (XGetSelectionOwner(d.dpy, d.atoms->clipboard) == None) {
      done = true;
      return true;
    }
    d.read_done = [&](std::string text) {
      std::lock_guard lock(m);
      result = std::move(text);
      done = true;
      cv.notify_all();
    };
    d.StartRead(d.atoms->utf8);
    return true;
  });
  std::unique_lock lock(m);
  cv.wait(lock, [&] { return done; });
  return platform::Utf8ToCp1252(result);
}

bool X11Clipboard::ServeAfterExit() {
  Impl& d = *impl_;
  std::string text;
  const bool owned = d.Call([&] {
    text = d.server->text();
    return d.server->owned();
  });
  if (!owned) return false;
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return false;
  // The display's name, for the child's own connection.
  const std::string name = DisplayString(d.dpy);
  const pid_t child = fork();
  if (child < 0) {
    close(ready[0]);
    close(ready[1]);
    return false;
  }
  if (child == 0) {
    // The child: a session of its own, a fresh connection, the selection, and requests
    // answered until someone else takes the selection.
    close(ready[0]);
    setsid();
    if (fork() > 0) _exit(0);  // not a child of the caller: nobody has to reap it
    signal(SIGHUP, SIG_IGN);
    // Nothing of the parent's stays open here: its X connection would outlive it otherwise.
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != ready[1]) close(fd);
    }
    Display* dpy = XOpenDisplay(name.c_str());
    char ok = 0;
    if (dpy) {
      InstallErrorTrap(dpy);
      const Window win = MakeWindow(dpy);
      Atoms atoms(dpy);
      Server server(dpy, win, atoms);
      ok = server.Own(text) ? 1 : 0;
      [[maybe_unused]] auto n = write(ready[1], &ok, 1);
      close(ready[1]);
      int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      while (ok && server.owned()) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        server.Handle(ev);
      }
    } else {
      [[maybe_unused]] auto n = write(ready[1], &ok, 1);
    }
    _exit(0);
  }
  close(ready[1]);
  char ok = 0;
  const bool got = read(ready[0], &ok, 1) == 1 && ok == 1;
  close(ready[0]);
  waitpid(child, nullptr, 0);
  return got;
}

}  // namespace quillomat::x11
