// Drives the X11 backend directly, one command per run or a session of commands:
//   x11_driver type FILE [CHUNK]     types a UTF-8 file as the player types macro text
//   x11_driver keys d:11 d:43 u:43 u:11   key events by virtual key (hex), down or up
//   x11_driver click X Y [left|right|middle]   x11_driver move X Y   x11_driver wheel NOTCHES
//   x11_driver screen | caps
//   x11_driver clipboard TEXT | clipboard-file FILE   puts UTF-8 text on the clipboard, which
//                                    stays there after the driver has exited
//   x11_driver clipboard-read        prints the clipboard's text
//   x11_driver list | foreground | wm
//   x11_driver activate|close|quit|geometry TITLE     x11_driver show TITLE
//   hide|show|min|max|restore x11_driver move-resize TITLE LEFT TOP WIDTH HEIGHT
//                                    a TITLE is found as the player finds it: the whole title in
//                                    any case, else a part of it; exit status 3 when refused,
//                                    4 when there is no such window
//   x11_driver play FILE [wait|nowait]...   plays WAV files one after the other; bell
//   x11_driver wave-info FILE        prints the format ReadWave finds, or "unplayable"
//   x11_driver session               reads such commands from stdin, plus "run SHELL-COMMAND"
//                                    and "sleep MS"; prints "ok" after each
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/cp1252.h"
#include "platform/x11/alsa_sound.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_windows.h"

namespace {

using quillomat::platform::Input;
namespace p = quillomat::platform;

std::unique_ptr<quillomat::x11::X11Input> input;

Input& In() {
  if (!input) input = quillomat::x11::X11Input::Open();
  if (!input) {
    std::fprintf(stderr, "x11_driver: no display\n");
    std::exit(1);
  }
  return *input;
}

// The player's way with one character of macro text.
void TypeChar(Input& in, unsigned char c) {
  if (c >= 128) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "0%03u", c);
    in.KeyEvent(0x12, false);
    for (const char* d = digits; *d; ++d) {
      in.KeyEvent(static_cast<uint8_t>(0x60 + (*d - '0')), false);
      in.KeyEvent(static_cast<uint8_t>(0x60 + (*d - '0')), true);
    }
    in.KeyEvent(0x12, true);
    return;
  }
  const int16_t scan = in.VkKeyScan(static_cast<char>(c));
  if (scan == -1) {
    if (!in.TypeCharacter(static_cast<char>(c))) {
      in.KeyEvent(0xFF, false);
      in.KeyEvent(0xFF, true);
    }
    return;
  }
  const int state = (scan >> 8) & 0xFF;
  const auto vk = static_cast<uint8_t>(scan & 0xFF);
  const bool shift = state == 1 || state == 7, ctrl = state == 2 || state >= 6, alt = state >= 6;
  if (shift) in.KeyEvent(0x10, false);
  if (ctrl) in.KeyEvent(0x11, false);
  if (alt) in.KeyEvent(0x12, false);
  in.KeyEvent(vk, false);
  in.KeyEvent(vk, true);
  if (shift) in.KeyEvent(0x10, true);
  if (ctrl) in.KeyEvent(0x11, true);
  if (alt) in.KeyEvent(0x12, true);
}

int TypeText(const std::string& utf8, size_t chunk) {
  Input& in = In();
  const std::string text = p::Utf8ToCp1252(utf8);
  const auto start = std::chrono::steady_clock::now();
  in.PrepareText(text);
  size_t typed = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    TypeChar(in, static_cast<unsigned char>(text[i]));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (++typed % chunk == 0) in.Flush();
  }
  in.Flush();
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "typed %zu characters in %.3f s\n", typed, s);
  return 0;
}

std::unique_ptr<quillomat::x11::X11Windows> windows;

quillomat::x11::X11Windows& Win() {
  if (!windows) windows = quillomat::x11::X11Windows::Open();
  if (!windows) std::exit(1);
  return *windows;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

p::WindowId FindTitle(const std::string& utf8) {
  const std::string wanted = Upper(p::Utf8ToCp1252(utf8));
  const auto list = Win().TopLevel();
  for (const auto& w : list) {
    if (Upper(w.title) == wanted) return w.id;
  }
  for (const auto& w : list) {
    if (!w.title.empty() && Upper(w.title).find(wanted) != std::string::npos) return w.id;
  }
  return p::kNoWindow;
}

int Report(p::WindowResult r) {
  switch (r) {
    case p::WindowResult::kDone:
      std::printf("done\n");
      return 0;
    case p::WindowResult::kRefused:
      std::printf("refused\n");
      return 3;
    case p::WindowResult::kNoWindow:
      std::printf("no window\n");
      return 4;
  }
  return 1;
}

void Mouse(uint32_t flags, int x, int y, int data) {
  Input& in = In();
  const p::ScreenSize screen = in.Screen();
  // As the player scales: Trunc(X * 65535 / width).
  const int ax = static_cast<int>(x * 65535.0 / screen.width);
  const int ay = static_cast<int>(y * 65535.0 / screen.height);
  in.MouseEvent(flags, ax, ay, data);
}

int Run(const std::vector<std::string>& a) {
  const std::string& cmd = a[0];
  auto arg = [&](size_t i) -> const std::string& {
    static const std::string empty;
    return i < a.size() ? a[i] : empty;
  };
  if (cmd == "type") {
    std::ifstream f(arg(1), std::ios::binary);
    if (!f) return 2;
    std::stringstream ss;
    ss << f.rdbuf();
    return TypeText(ss.str(), a.size() > 2 ? std::stoul(arg(2)) : 200);
  }
  if (cmd == "type-text") return TypeText(arg(1), 200);
  if (cmd == "keys") {
    for (size_t i = 1; i < a.size(); ++i) {
      const std::string& k = a[i];
      if (k.size() < 3 || k[1] != ':') return 2;
      In().KeyEvent(static_cast<uint8_t>(std::stoul(k.substr(2), nullptr, 16)), k[0] == 'u');
    }
    In().Flush();
    return 0;
  }
  if (cmd == "move") {
    Mouse(p::kMouseMove | p::kMouseAbsolute, std::stoi(arg(1)), std::stoi(arg(2)), 0);
    In().Flush();
    return 0;
  }
  if (cmd == "click") {
    Mouse(p::kMouseMove | p::kMouseAbsolute, std::stoi(arg(1)), std::stoi(arg(2)), 0);
    uint32_t down = p::kMouseLeftDown, up = p::kMouseLeftUp;
    if (arg(3) == "right") down = p::kMouseRightDown, up = p::kMouseRightUp;
    if (arg(3) == "middle") down = p::kMouseMiddleDown, up = p::kMouseMiddleUp;
    In().MouseEvent(down, 0, 0, 0);
    In().MouseEvent(up, 0, 0, 0);
    In().Flush();
    return 0;
  }
  if (cmd == "wheel") {
    In().MouseEvent(p::kMouseWheel, 0, 0, std::stoi(arg(1)) * 120);
    In().Flush();
    return 0;
  }
  if (cmd == "screen") {
    const p::ScreenSize s = In().Screen();
    std::printf("%dx%d\n", s.width, s.height);
    return 0;
  }
  if (cmd == "caps") {
    std::printf("%s\n", In().CapsLockOn() ? "on" : "off");
    return 0;
  }
  if (cmd == "scan") {  // VkKeyScan of each character of a UTF-8 string, in hex
    for (char c : p::Utf8ToCp1252(arg(1))) std::printf("%04x\n", In().VkKeyScan(c) & 0xFFFF);
    return 0;
  }
  if (cmd == "clipboard" || cmd == "clipboard-file" || cmd == "clipboard-read") {
    auto clipboard = quillomat::x11::X11Clipboard::Open();
    if (!clipboard) return 1;
    if (cmd == "clipboard-read") {
      std::printf("%s", p::Cp1252ToUtf8(clipboard->Text()).c_str());
      return 0;
    }
    std::string text = arg(1);
    if (cmd == "clipboard-file") {
      std::ifstream f(arg(1), std::ios::binary);
      std::stringstream ss;
      ss << f.rdbuf();
      text = ss.str();
    }
    if (!clipboard->SetText(p::Utf8ToCp1252(text))) return 1;
    return clipboard->ServeAfterExit() ? 0 : 1;
  }
  if (cmd == "list") {
    for (const auto& w : Win().TopLevel()) {
      std::printf("0x%08lx\t%d\t%s\t%s\t%s\t%s\n", static_cast<unsigned long>(w.id), w.pid,
                  w.program.c_str(), w.visible ? "visible" : "hidden",
                  w.minimized ? "minimized" : "-", p::Cp1252ToUtf8(w.title).c_str());
    }
    return 0;
  }
  if (cmd == "foreground") {
    std::printf("0x%08lx\n", static_cast<unsigned long>(Win().Foreground()));
    return 0;
  }
  if (cmd == "wm") {
    std::printf("%s\n", Win().HasWindowManager() ? "yes" : "no");
    return 0;
  }
  if (cmd == "activate" || cmd == "close" || cmd == "quit" || cmd == "geometry" || cmd == "show" ||
      cmd == "move-resize") {
    const p::WindowId w = FindTitle(arg(1));
    if (w == p::kNoWindow) return Report(p::WindowResult::kNoWindow);
    if (cmd == "activate") return Report(Win().Activate(w));
    if (cmd == "close") return Report(Win().Close(w));
    if (cmd == "quit") return Report(Win().Quit(w));
    if (cmd == "geometry") {
      const auto r = Win().Geometry(w);
      if (!r) return Report(p::WindowResult::kNoWindow);
      std::printf("%d %d %d %d\n", r->left, r->top, r->width, r->height);
      return 0;
    }
    if (cmd == "move-resize") {
      return Report(Win().MoveResize(w, std::stoi(arg(2)), std::stoi(arg(3)), std::stoi(arg(4)),
                                     std::stoi(arg(5))));
    }
    const std::string& how = arg(2);
    p::ShowCommand c = p::ShowCommand::kShow;
    if (how == "hide")
      c = p::ShowCommand::kHide;
    else if (how == "min")
      c = p::ShowCommand::kMinimize;
    else if (how == "max")
      c = p::ShowCommand::kMaximize;
    else if (how == "restore")
      c = p::ShowCommand::kRestore;
    else if (how != "show")
      return 2;
    return Report(Win().Show(w, c));
  }
  if (cmd == "play") {
    quillomat::x11::AlsaSound sound;
    for (size_t i = 1; i < a.size(); i += 2) sound.PlayWave(a[i], arg(i + 1) != "nowait");
    return 0;
  }
  if (cmd == "bell") {
    quillomat::x11::AlsaSound().Bell();
    return 0;
  }
  if (cmd == "wave-info") {
    std::ifstream f(arg(1), std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    quillomat::x11::WaveFormat format;
    std::string samples;
    if (!quillomat::x11::ReadWave(ss.str(), &format, &samples)) {
      std::printf("unplayable\n");
    } else {
      std::printf("%d channels, %d bits, %u Hz, %zu bytes\n", format.channels, format.bits,
                  format.rate, samples.size());
    }
    return 0;
  }
  if (cmd == "sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(arg(1))));
    return 0;
  }
  if (cmd == "run") {
    std::string line;
    for (size_t i = 1; i < a.size(); ++i) line += (i > 1 ? " " : "") + a[i];
    return std::system(line.c_str()) == 0 ? 0 : 1;
  }
  std::fprintf(stderr, "x11_driver: unknown command %s\n", cmd.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: x11_driver COMMAND ARGS... (see the source)\n");
    return 2;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args[0] != "session") {
    const int rc = Run(args);
    std::fflush(stdout);
    input.reset();
    windows.reset();
    return rc;
  }
  std::string line;
  int rc = 0;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::vector<std::string> cmd;
    for (std::string w; words >> w;) cmd.push_back(w);
    if (cmd.empty()) continue;
    const int r = Run(cmd);
    if (r) rc = r;
    std::printf("%s\n", r ? "failed" : "ok");
    std::fflush(stdout);
  }
  input.reset();
  windows.reset();
  return rc;
}
