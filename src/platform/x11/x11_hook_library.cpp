#include "platform/x11/x11_hook_library.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/x11/x11_hook_rules.h"
#include "platform/x11/x11_virtual_keys.h"
#include "store/hotkey_catalogue.h"

namespace quillomat::x11 {
namespace {

using activation::kAbortPlayback;
using activation::kCapsLockState;
using activation::kHotKeyCapsLockBit;
using activation::kHotKeyForDialog;
using activation::kHotKeyPressed;
using activation::kTypedChar;
using activation::kWindowActivated;
using store::SharedIndex;

constexpr size_t kInUseOffset = offsetof(SharedIndex, hot_key_in_use);
constexpr size_t kPlayingOffset = offsetof(SharedIndex, playing);
constexpr size_t kSecondFlagOffset = offsetof(SharedIndex, second_window_flag);
constexpr size_t kTrigwordsOffset = offsetof(SharedIndex, trigwords_present);

// Xlib reports a refused grab only through the process-wide error handler. The trap records
// the serials of the failed requests of the monitor's connection and hands every other
// connection's errors to the handler it replaced.
struct ErrorTrap {
  std::mutex mutex;
  std::atomic<Display*> display{nullptr};
  std::vector<unsigned long> failed;  // touched only on the monitor's thread
  XErrorHandler previous = nullptr;
};

ErrorTrap& Trap() {
  static ErrorTrap trap;
  return trap;
}

int TrapError(Display* display, XErrorEvent* error) {
  ErrorTrap& trap = Trap();
  if (display == trap.display.load()) {
    trap.failed.push_back(error->serial);
    return 0;
  }
  return trap.previous ? trap.previous(display, error) : 0;
}

// Installs the trap for this connection, also when some other code replaced it since.
void ArmTrap(Display* display) {
  ErrorTrap& trap = Trap();
  std::lock_guard lock(trap.mutex);
  trap.display = display;
  const XErrorHandler current = XSetErrorHandler(TrapError);
  if (current != TrapError) trap.previous = current;
}

void DisarmTrap(Display* display) {
  ErrorTrap& trap = Trap();
  std::lock_guard lock(trap.mutex);
  if (trap.display.load() == display) trap.display = nullptr;
}

unsigned MaskOf(Display* display, KeySym keysym, unsigned fallback) {
  const unsigned mask = XkbKeysymToModifiers(display, keysym);
  return mask != 0 ? mask : fallback;
}

}  // namespace

// Everything that runs on the monitor's thread, with its connection.
class X11HookLibrary::Monitor {
 public:
  Monitor(X11HookLibrary& library, Display* display)
      : library_(library), display_(display), root_(DefaultRootWindow(display)) {}
  ~Monitor() {
    DisarmTrap(display_);
    XCloseDisplay(display_);
  }

  bool Init();
  void Run();

 private:
  struct Grab {
    int index;
    int keycode;
    unsigned modifiers;
    unsigned long first_serial;
    unsigned long end_serial;
  };
  struct Pending {
    int index = -1;
    bool mouse = false;
    int trigger = 0;  // keycode, or X button
    bool trigger_down = false;
    bool caps = false;
    Window window = 0;
  };

  void ReadMasks();
  void BindExecuteKey();
  void OnKeymapChange();
  void GrabHotKeys();
  void GrabPause(bool grab);
  void OnWake();
  void Handle(XEvent& event);
  void OnRawKey(const XIRawEvent& raw, bool press);
  void OnRawButton(const XIRawEvent& raw, bool press);
  void OnCoreKeyPress(const XKeyEvent& key);
  void OnActiveWindowChange();
  void OnXkb(const XkbEvent& event);
  void Queue();
  void TryPostPending();
  void Post(const Pending& hot_key);
  void ResetTyping();
  Window ActiveWindow();
  void Post(uint32_t message, uint32_t wparam, int64_t lparam = 0) {
    library_.loop_.Post({message, wparam, lparam});
  }

  uint8_t SharedByte(size_t offset) {
    std::lock_guard lock(library_.shared_mutex_);
    return library_.shared_[offset];
  }
  bool Playing() { return SharedByte(kPlayingOffset) == 1; }

  X11HookLibrary& library_;
  Display* display_;
  Window root_;
  Atom net_active_window_ = None;
  int xi_opcode_ = 0;
  int xkb_event_base_ = 0;
  int xtest_keyboard_ = -1;
  int xtest_pointer_ = -1;
  ModifierMasks masks_;
  std::vector<unsigned> lock_variants_;
  std::vector<unsigned> grabbed_variants_;  // the variants the current grabs were taken with
  std::array<uint8_t, store::kHotKeyCount> grabbed_flags_{};
  std::vector<Grab> grabs_;
  bool pause_grabbed_ = false;
  int pause_keycode_ = 0;
  int execute_keycode_ = 0;
  std::array<int, 256> last_key_source_{};
  unsigned modifiers_ = 0;  // effective modifier state
  unsigned locked_mods_ = 0;
  int group_ = 0;
  Window active_window_ = 0;
  Pending pending_;              // the last hot key pressed
  std::vector<Pending> queued_;  // earlier ones, waiting for the modifiers' release
};

bool X11HookLibrary::Monitor::Init() {
  int event, error;
  int major = 2, minor = 2;
  if (!XQueryExtension(display_, "XInputExtension", &xi_opcode_, &event, &error) ||
      XIQueryVersion(display_, &major, &minor) != Success || major < 2 ||
      (major == 2 && minor < 2)) {
    return false;
  }
  int xkb_opcode, xkb_error;
  int xkb_major = XkbMajorVersion, xkb_minor = XkbMinorVersion;
  if (!XkbQueryExtension(display_, &xkb_opcode, &xkb_event_base_, &xkb_error, &xkb_major,
                         &xkb_minor)) {
    return false;
  }
  net_active_window_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);

  // XTest's events come from these slave devices.
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(devices[i].name, "Virtual core XTEST keyboard") == 0) {
      xtest_keyboard_ = devices[i].deviceid;
    } else if (std::strcmp(devices[i].name, "Virtual core XTEST pointer") == 0) {
      xtest_pointer_ = devices[i].deviceid;
    }
  }
  XIFreeDeviceInfo(devices);

  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_RawKeyPress);
  XISetMask(bits, XI_RawKeyRelease);
  XISetMask(bits, XI_RawButtonPress);
  XISetMask(bits, XI_RawButtonRelease);
  XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
  XISelectEvents(display_, root_, &mask, 1);

  XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask,
                        XkbModifierStateMask | XkbModifierLockMask | XkbGroupStateMask);
  XkbSelectEvents(display_, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                  XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
  XkbStateRec state;
  if (XkbGetState(display_, XkbUseCoreKbd, &state) == Success) {
    modifiers_ = state.mods;
    locked_mods_ = state.locked_mods;
    group_ = state.group;
  }
  XSelectInput(display_, root_, PropertyChangeMask);
  active_window_ = ActiveWindow();
  BindExecuteKey();

  ReadMasks();
  GrabHotKeys();
  GrabPause(Playing());
  Post(kCapsLockState, (locked_mods_ & LockMask) ? 1 : 0);
  return true;
}

void X11HookLibrary::Monitor::ReadMasks() {
  masks_ = {ShiftMask, ControlMask, MaskOf(display_, XK_Alt_L, Mod1Mask),
            MaskOf(display_, XK_Super_L, Mod4Mask)};
  lock_variants_ = LockVariants(LockMask, XkbKeysymToModifiers(display_, XK_Num_Lock),
                                XkbKeysymToModifiers(display_, XK_Scroll_Lock));
  pause_keycode_ = XKeysymToKeycode(display_, XK_Pause);
  execute_keycode_ = XKeysymToKeycode(display_, XK_Execute);
}

// Common keymaps have no Execute key, and a spare keycode bound only for the moment of the
// press is read too late by clients that refresh their maps lazily. So the monitor binds the
// end-of-playback key to a free keycode once and leaves it there, for the player to press.
void X11HookLibrary::Monitor::BindExecuteKey() {
  if (XKeysymToKeycode(display_, XK_Execute) != 0) return;
  int min_keycode, max_keycode, per_keycode;
  XDisplayKeycodes(display_, &min_keycode, &max_keycode);
  KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(min_keycode),
                                    max_keycode - min_keycode + 1, &per_keycode);
  if (map == nullptr) return;
  for (int keycode = max_keycode; keycode >= min_keycode; --keycode) {
    const KeySym* syms = map + (keycode - min_keycode) * per_keycode;
    if (std::all_of(syms, syms + per_keycode, [](KeySym s) { return s == NoSymbol; })) {
      KeySym execute[2] = {XK_Execute, XK_Execute};
      XChangeKeyboardMapping(display_, keycode, 2, execute, 1);
      XSync(display_, False);
      break;
    }
  }
  XFree(map);
}

void X11HookLibrary::Monitor::GrabHotKeys() {
  {
    std::lock_guard lock(library_.shared_mutex_);
    std::memcpy(grabbed_flags_.data(), library_.shared_.data() + kInUseOffset,
                grabbed_flags_.size());
  }
  std::vector<Grab> wanted;
  std::vector<int> unavailable;
  for (int index = 0; index < store::kHotKeyCount; ++index) {
    if (grabbed_flags_[index] == 0) continue;
    const store::DecipheredKey key = store::DecipherKey(index);
    if (key.key_code == 0) continue;  // mouse entries are watched, not grabbed
    const int keycode = XKeysymToKeycode(display_, VirtualKeyToKeysym(key.key_code));
    if (keycode == 0) {
      unavailable.push_back(index);
      continue;
    }
    wanted.push_back(
        {index, keycode, CatalogueModifiers(masks_, key.ctrl, key.alt, key.shift, key.win), 0, 0});
  }
  // The player rebinds spare keycodes all the time; a keymap change that moves none of the
  // grabbed keys leaves the grabs alone.
  const auto same = [](const Grab& a, const Grab& b) {
    return a.index == b.index && a.keycode == b.keycode && a.modifiers == b.modifiers;
  };
  if (grabbed_variants_ == lock_variants_ &&
      std::equal(wanted.begin(), wanted.end(), grabs_.begin(), grabs_.end(), same)) {
    return;
  }
  for (const Grab& grab : grabs_) {
    for (const unsigned variant : grabbed_variants_) {
      XUngrabKey(display_, grab.keycode, grab.modifiers | variant, root_);
    }
  }
  grabs_ = std::move(wanted);
  grabbed_variants_ = lock_variants_;
  ArmTrap(display_);
  Trap().failed.clear();
  for (Grab& grab : grabs_) {
    grab.first_serial = NextRequest(display_);
    // The keyboard freezes at the press until the monitor decides: a combination the player
    // types is replayed to the focused window, a real hot key is kept.
    for (const unsigned variant : grabbed_variants_) {
      XGrabKey(display_, grab.keycode, grab.modifiers | variant, root_, True, GrabModeAsync,
               GrabModeSync);
    }
    grab.end_serial = NextRequest(display_);
  }
  XSync(display_, False);
  for (const unsigned long serial : Trap().failed) {
    for (const Grab& grab : grabs_) {
      if (serial >= grab.first_serial && serial < grab.end_serial) {
        unavailable.push_back(grab.index);
        break;
      }
    }
  }
  Trap().failed.clear();
  std::sort(unavailable.begin(), unavailable.end());
  unavailable.erase(std::unique(unavailable.begin(), unavailable.end()), unavailable.end());
  std::lock_guard lock(library_.shared_mutex_);
  library_.unavailable_ = std::move(unavailable);
}

void X11HookLibrary::Monitor::GrabPause(bool grab) {
  if (grab == pause_grabbed_ || pause_keycode_ == 0) return;
  // Whatever modifiers are down: a playing macro may hold Ctrl (Ctrl+Pause is Break), Alt or
  // Shift, and the abort must still come through.
  if (grab) {
    XGrabKey(display_, pause_keycode_, AnyModifier, root_, True, GrabModeAsync, GrabModeAsync);
  } else {
    XUngrabKey(display_, pause_keycode_, AnyModifier, root_);
  }
  XFlush(display_);
  pause_grabbed_ = grab;
}

void X11HookLibrary::Monitor::OnKeymapChange() {
  const bool pause = pause_grabbed_;
  GrabPause(false);  // with the old keycode and variants
  ReadMasks();
  GrabHotKeys();
  GrabPause(pause);
}

void X11HookLibrary::Monitor::Run() {
  const int x_fd = ConnectionNumber(display_);
  while (!library_.stop_.load()) {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      Handle(event);
    }
    pollfd fds[2] = {{x_fd, POLLIN, 0}, {library_.wake_fds_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (read(library_.wake_fds_[0], drain, sizeof drain) > 0) {
      }
      if (library_.stop_.load()) break;
      OnWake();
    }
    if (fds[0].revents & (POLLHUP | POLLERR)) break;  // the X server went away
  }
}

void X11HookLibrary::Monitor::OnWake() {
  bool flags_changed;
  {
    std::lock_guard lock(library_.shared_mutex_);
    flags_changed = std::memcmp(grabbed_flags_.data(), library_.shared_.data() + kInUseOffset,
                                grabbed_flags_.size()) != 0;
  }
  if (flags_changed) GrabHotKeys();
  GrabPause(Playing());
}

void X11HookLibrary::Monitor::Handle(XEvent& event) {
  if (event.type == GenericEvent && event.xcookie.extension == xi_opcode_ &&
      XGetEventData(display_, &event.xcookie)) {
    const auto& raw = *static_cast<XIRawEvent*>(event.xcookie.data);
    switch (event.xcookie.evtype) {
      case XI_RawKeyPress:
        OnRawKey(raw, true);
        break;
      case XI_RawKeyRelease:
        OnRawKey(raw, false);
        break;
      case XI_RawButtonPress:
        OnRawButton(raw, true);
        break;
      case XI_RawButtonRelease:
        OnRawButton(raw, false);
        break;
    }
    XFreeEventData(display_, &event.xcookie);
    return;
  }
  switch (event.type) {
    case KeyPress:
      OnCoreKeyPress(event.xkey);
      return;
    case KeyRelease:
      // The grab that the trigger's press started lasts until its release, which comes here.
      if (!pending_.mouse && pending_.index >= 0 &&
          pending_.trigger == static_cast<int>(event.xkey.keycode)) {
        pending_.trigger_down = false;
        TryPostPending();
      }
      return;
    case PropertyNotify:
      if (event.xproperty.atom == net_active_window_) OnActiveWindowChange();
      return;
    case MappingNotify:
      XRefreshKeyboardMapping(&event.xmapping);
      OnKeymapChange();
      return;
    default:
      break;
  }
  if (event.type == xkb_event_base_) OnXkb(reinterpret_cast<const XkbEvent&>(event));
}

void X11HookLibrary::Monitor::OnRawKey(const XIRawEvent& raw, bool press) {
  const int keycode = raw.detail;
  if (keycode < 0 || keycode > 255) return;
  const bool injected = raw.sourceid == xtest_keyboard_;
  if (press) last_key_source_[keycode] = raw.sourceid;
  if (!press) {
    if (!pending_.mouse && pending_.index >= 0 && pending_.trigger == keycode) {
      pending_.trigger_down = false;
      TryPostPending();
    }
    return;
  }
  const bool playing = Playing();
  if (injected && playing) {
    // The player's end-of-playback key: playback is over.
    if (keycode == execute_keycode_ ||
        XkbKeycodeToKeysym(display_, static_cast<KeyCode>(keycode), 0, 0) == XK_Execute) {
      bool ended;
      {
        std::lock_guard lock(library_.shared_mutex_);
        if (library_.open_playbacks_ > 0) --library_.open_playbacks_;
        ended = library_.open_playbacks_ == 0;
        if (ended) library_.shared_[kPlayingOffset] = 0;
      }
      if (ended) GrabPause(false);
    }
    return;
  }
  if (SharedByte(kTrigwordsOffset) != 1) return;
  KeySym keysym = NoSymbol;
  unsigned consumed = 0;
  XkbLookupKeySym(display_, static_cast<KeyCode>(keycode), XkbBuildCoreState(modifiers_, group_),
                  &consumed, &keysym);
  const TypedKey typed =
      ClassifyTypedKey(keysym, (modifiers_ & (masks_.ctrl | masks_.alt | masks_.win)) != 0);
  if (typed.kind == TypedKey::kCharacter) {
    Post(kTypedChar, (locked_mods_ & LockMask) ? 2 : 0, typed.character);
  } else if (typed.kind == TypedKey::kReset) {
    ResetTyping();
  }
}

void X11HookLibrary::Monitor::OnRawButton(const XIRawEvent& raw, bool press) {
  const int button = raw.detail;
  if (!press) {
    if (pending_.mouse && pending_.index >= 0 && pending_.trigger == button) {
      pending_.trigger_down = false;
      TryPostPending();
    }
    return;
  }
  if (raw.sourceid == xtest_pointer_ && Playing()) return;
  if (button < 1 || button > 3) return;  // the wheel neither clicks nor triggers
  ResetTyping();
  // X numbers the middle button 2 and the right 3; the catalogue the other way round.
  const int catalogue_button = button == 2 ? 3 : button == 3 ? 2 : 1;
  const int index = MouseHotKeyIndex(catalogue_button, modifiers_, masks_);
  if (index < 0 || SharedByte(kInUseOffset + index) != 1) return;
  if (pending_.index >= 0) Queue();
  pending_ = {index, true, button, true, (locked_mods_ & LockMask) != 0, ActiveWindow()};
}

void X11HookLibrary::Monitor::OnCoreKeyPress(const XKeyEvent& key) {
  if (pause_grabbed_ && static_cast<int>(key.keycode) == pause_keycode_) {
    Post(kAbortPlayback, 0);
    return;
  }
  const unsigned modifiers = key.state & masks_.All();
  const auto grab = std::find_if(grabs_.begin(), grabs_.end(), [&](const Grab& g) {
    return g.keycode == static_cast<int>(key.keycode) && g.modifiers == modifiers;
  });
  const bool injected = last_key_source_[key.keycode & 0xff] == xtest_keyboard_;
  if (grab == grabs_.end() || (injected && Playing())) {
    XAllowEvents(display_, ReplayKeyboard, key.time);
    XFlush(display_);
    return;
  }
  XAllowEvents(display_, AsyncKeyboard, key.time);
  XFlush(display_);
  if (pending_.index >= 0) {
    // Auto-repeat of the held trigger adds nothing; a new press is a new hot key.
    if (!pending_.mouse && pending_.trigger_down && pending_.trigger == grab->keycode) return;
    Queue();
  }
  pending_ = {grab->index, false, grab->keycode, true, (key.state & LockMask) != 0, ActiveWindow()};
}

// A hot key pressed again, or another one, while the modifiers stay held waits for them too;
// the same hot key waits once, so a held key's auto-repeat plays its macro once.
void X11HookLibrary::Monitor::Queue() {
  const bool waiting = std::any_of(queued_.begin(), queued_.end(),
                                   [this](const Pending& p) { return p.index == pending_.index; });
  if (!waiting) queued_.push_back(pending_);
  pending_ = {};
}

void X11HookLibrary::Monitor::TryPostPending() {
  if ((modifiers_ & masks_.All()) != 0) return;
  if (pending_.index >= 0 && !pending_.trigger_down) Queue();
  for (const Pending& queued : queued_) Post(queued);
  queued_.clear();
}

void X11HookLibrary::Monitor::Post(const Pending& hot_key) {
  if (SharedByte(kSecondFlagOffset) == 1) {
    Post(kHotKeyForDialog, static_cast<uint32_t>(hot_key.index));
  } else {
    Post(kHotKeyPressed,
         static_cast<uint32_t>(hot_key.index) | (hot_key.caps ? kHotKeyCapsLockBit : 0),
         static_cast<int64_t>(hot_key.window));
  }
}

void X11HookLibrary::Monitor::ResetTyping() {
  if (SharedByte(kTrigwordsOffset) == 1) Post(kTypedChar, 1, 0);
}

Window X11HookLibrary::Monitor::ActiveWindow() {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  Window window = 0;
  if (XGetWindowProperty(display_, root_, net_active_window_, 0, 1, False, XA_WINDOW, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (type == XA_WINDOW && format == 32 && count == 1) {
      window = *reinterpret_cast<Window*>(data);
    }
  }
  if (data != nullptr) XFree(data);
  return window;
}

void X11HookLibrary::Monitor::OnActiveWindowChange() {
  const Window window = ActiveWindow();
  if (window == active_window_) return;
  active_window_ = window;
  ResetTyping();
  if (window != 0) Post(kWindowActivated, static_cast<uint32_t>(window));
}

void X11HookLibrary::Monitor::OnXkb(const XkbEvent& event) {
  switch (event.any.xkb_type) {
    case XkbStateNotify: {
      const bool caps_before = locked_mods_ & LockMask;
      modifiers_ = event.state.mods;
      locked_mods_ = event.state.locked_mods;
      group_ = event.state.group;
      const bool caps = locked_mods_ & LockMask;
      if (caps != caps_before) Post(kCapsLockState, caps ? 1 : 0);
      TryPostPending();
      break;
    }
    case XkbNewKeyboardNotify:
    case XkbMapNotify:
      XkbRefreshKeyboardMapping(const_cast<XkbMapNotifyEvent*>(&event.map));
      OnKeymapChange();
      break;
    default:
      break;
  }
}

X11HookLibrary::X11HookLibrary(platform::EventLoop& loop, std::string display_name)
    : PublishingHookLibrary(nullptr), loop_(loop), display_name_(std::move(display_name)) {
  Attach(shared_.data());
  if (pipe2(wake_fds_, O_NONBLOCK | O_CLOEXEC) != 0) wake_fds_[0] = wake_fds_[1] = -1;
}

X11HookLibrary::~X11HookLibrary() {
  Stop();
  for (const int fd : wake_fds_) {
    if (fd >= 0) close(fd);
  }
}

#define QL_PUBLISH(call)                 \
  {                                      \
    std::lock_guard lock(shared_mutex_); \
    PublishingHookLibrary::call;         \
  }                                      \
  Wake();

void X11HookLibrary::QlxUpInit(const SharedIndex& b) { QL_PUBLISH(QlxUpInit(b)) }
void X11HookLibrary::QlxUpWindow(const SharedIndex& b) { QL_PUBLISH(QlxUpWindow(b)) }
void X11HookLibrary::QlxUpWindow2(const SharedIndex& b) { QL_PUBLISH(QlxUpWindow2(b)) }
void X11HookLibrary::QlxUpKeys(const SharedIndex& b) { QL_PUBLISH(QlxUpKeys(b)) }
void X11HookLibrary::QlxUpShort(const SharedIndex& b) { QL_PUBLISH(QlxUpShort(b)) }
void X11HookLibrary::QlxUpNumKeys(const SharedIndex& b) { QL_PUBLISH(QlxUpNumKeys(b)) }
void X11HookLibrary::QlxUpItem(const SharedIndex& b, int n) { QL_PUBLISH(QlxUpItem(b, n)) }
void X11HookLibrary::QlxUpProg(const SharedIndex& b) { QL_PUBLISH(QlxUpProg(b)) }
void X11HookLibrary::QlxUpProgs(const SharedIndex& b) { QL_PUBLISH(QlxUpProgs(b)) }
void X11HookLibrary::QlxUpCapture(const SharedIndex& b) { QL_PUBLISH(QlxUpCapture(b)) }
void X11HookLibrary::QlxUpCaptureOn(const SharedIndex& b) { QL_PUBLISH(QlxUpCaptureOn(b)) }
// Every playback publishes 1 and ends with one end key; a playback started inside another
// (a hot key pressed during it) ends first. Counting them keeps the flag up until the last
// end key, also when the end key of one playback is seen only after the next has begun.
void X11HookLibrary::QlxUpInUse(const SharedIndex& b) {
  {
    std::lock_guard lock(shared_mutex_);
    PublishingHookLibrary::QlxUpInUse(b);
    open_playbacks_ = b.playing == 1 ? open_playbacks_ + 1 : 0;
  }
  Wake();
}
void X11HookLibrary::QlxUpKeyHook(const SharedIndex& b) { QL_PUBLISH(QlxUpKeyHook(b)) }
void X11HookLibrary::QlxUpMouseHook(const SharedIndex& b){QL_PUBLISH(QlxUpMouseHook(b))}
#undef QL_PUBLISH

activation::HookHandle X11HookLibrary::QlxHookKeyboard() {
  if (thread_.joinable()) return kKeyboardHandle;
  if (wake_fds_[0] < 0) return 0;
  XInitThreads();
  Display* display = XOpenDisplay(display_name_.empty() ? nullptr : display_name_.c_str());
  if (display == nullptr) return 0;
  auto monitor = std::make_unique<Monitor>(*this, display);
  if (!monitor->Init()) return 0;
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this, monitor = std::move(monitor)] {
    monitor->Run();
    running_ = false;
  });
  return kKeyboardHandle;
}

bool X11HookLibrary::QlxUnHook(activation::HookHandle handle) {
  switch (handle) {
    case kKeyboardHandle:
      Stop();
      return true;
    case kMouseHandle:
    case kCbtHandle:
    case kSwapHandle:
      return true;
    default:
      return false;
  }
}

std::vector<int> X11HookLibrary::UnavailableHotKeys() const {
  std::lock_guard lock(shared_mutex_);
  return unavailable_;
}

bool X11HookLibrary::Playing() const {
  std::lock_guard lock(shared_mutex_);
  return shared_[kPlayingOffset] == 1;
}

void X11HookLibrary::Wake() {
  if (wake_fds_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wake_fds_[1], &byte, 1);
  }
}

void X11HookLibrary::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  Wake();
  thread_.join();
}

}  // namespace quillomat::x11
