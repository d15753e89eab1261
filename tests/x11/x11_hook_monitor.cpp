// Runs the desktop monitor with a published index and prints every message it posts, one a
// line: "user+N WPARAM LPARAM". Commands on standard input change the published flags:
//   keys I,J,...    the hot-key flags in use (nothing else)
//   playing 0|1     the playing flag
//   trigwords 0|1   the Trigwords-present flag
//   second 0|1      the second-window flag
//   unavailable     prints "unavailable I J ..." (the hot keys that could not be grabbed)
//   playingflag     prints "playing N", the monitor's copy of the playing flag
//   quit            unhooks, prints "stopped" and exits
// It prints "ready" once the monitor runs.
#include <atomic>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "activation/hook_library.h"
#include "platform/posix/posix_event_loop.h"
#include "platform/x11/x11_hook_library.h"
#include "store/shared_index.h"

using namespace quillomat;

namespace {

std::mutex out_mutex;

void Say(const std::string& line) {
  std::lock_guard lock(out_mutex);
  std::cout << line << std::endl;
}

}  // namespace

int main() {
  posix::PosixEventLoop loop;
  loop.SetMessageHandler([](const platform::PostedMessage& m) {
    Say("user+" + std::to_string(m.message - activation::kWmUser) + " " + std::to_string(m.wparam) +
        " " + std::to_string(m.lparam));
  });
  auto block = std::make_unique<store::SharedIndex>();
  x11::X11HookLibrary library(loop);
  library.QlxUpInit(*block);
  if (library.QlxHookKeyboard() == 0 || library.QlxHookMouse() == 0 || library.QlxHookCBT() == 0) {
    Say("no monitor");
    return 1;
  }
  Say("ready");

  std::atomic<bool> quit{false};
  std::thread commands([&] {
    std::string line;
    while (std::getline(std::cin, line)) {
      std::istringstream words(line);
      std::string command, value;
      words >> command >> value;
      if (command == "keys") {
        std::fill(std::begin(block->hot_key_in_use), std::end(block->hot_key_in_use), 0);
        std::istringstream list(value);
        for (std::string item; std::getline(list, item, ',');) {
          block->hot_key_in_use[std::stoi(item)] = 1;
        }
        library.QlxUpKeys(*block);
      } else if (command == "playing") {
        block->playing = static_cast<uint8_t>(std::stoi(value));
        library.QlxUpInUse(*block);
      } else if (command == "trigwords") {
        block->trigwords_present = static_cast<uint8_t>(std::stoi(value));
        library.QlxUpShort(*block);
      } else if (command == "second") {
        block->second_window_flag = static_cast<uint8_t>(std::stoi(value));
        library.QlxUpWindow2(*block);
      } else if (command == "unavailable") {
        std::string text = "unavailable";
        for (const int index : library.UnavailableHotKeys()) text += " " + std::to_string(index);
        Say(text);
      } else if (command == "playingflag") {
        Say(std::string("playing ") + (library.Playing() ? "1" : "0"));
      } else if (command == "quit") {
        break;
      }
    }
    quit = true;
  });
  while (!quit) loop.PumpOnce(50);
  commands.join();
  loop.PumpOnce(0);
  const bool unhooked = library.QlxUnHook(x11::X11HookLibrary::kKeyboardHandle);
  Say(unhooked && !library.Running() ? "stopped" : "still running");
  return 0;
}
