// Any byte string played as a macro on the simulated desktop finishes, with a bounded number
// of events, and without a crash or a sanitizer report. Time is virtual, so waits cost
// nothing; pause boxes and prompts take scripted answers; an abort request stops a macro that
// runs too long (a repeat of 65535 can be written in a few bytes); "<TFILE:a>" plays the input
// itself, so nesting is exercised up to the player's own depth limit. No real file is touched.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_playback_forms.h"
#include "player/file_commands.h"
#include "player/player.h"

namespace {

using namespace quillomat;

constexpr int kAbortAfterPumps = 4000;
constexpr long kMaxPumps = 200000;
constexpr long kMaxEvents = 2000000;

void Check(bool ok) {
  if (!ok) std::abort();
}

// Counts the turns of the loop and asks the player to stop after a while.
class CountingLoop : public platform::EventLoop {
 public:
  explicit CountingLoop(sim::SimEventLoop& loop) : loop_(loop) {}
  void PumpOnce(int max_wait_ms) override {
    if (++pumps == kAbortAfterPumps && player) player->RequestAbort();
    loop_.PumpOnce(max_wait_ms);
  }
  uint32_t TickCount() override { return loop_.TickCount(); }
  platform::LocalTime Now() override { return loop_.Now(); }
  void Post(const platform::PostedMessage& m) override { loop_.Post(m); }
  void SetMessageHandler(platform::MessageHandler h) override { loop_.SetMessageHandler(h); }

  long pumps = 0;
  player::Player* player = nullptr;

 private:
  sim::SimEventLoop& loop_;
};

// The US keyboard's answers, without keeping every event.
class CountingInput : public platform::Input {
 public:
  void KeyEvent(uint8_t, bool) override { ++events; }
  int16_t VkKeyScan(char ch) override { return keyboard_.VkKeyScan(ch); }
  void MouseEvent(uint32_t, int32_t, int32_t, int32_t) override { ++events; }
  platform::ScreenSize Screen() override { return {800, 600}; }
  bool CapsLockOn() override { return false; }
  bool TypeCharacter(char) override {
    ++events;
    return true;
  }
  void PrepareText(std::string_view) override {}
  void Flush() override {}

  long events = 0;

 private:
  sim::SimInput keyboard_;
};

class FuzzFiles : public player::FileCommands {
 public:
  explicit FuzzFiles(const std::string& self) : self_(self) {}
  void ChangeDir(const std::string&) override {}
  void DeleteFile(const std::string&) override {}
  void CopyFile(const std::string&, const std::string&) override {}
  void RenameFile(const std::string&, const std::string&) override {}
  std::optional<std::string> ReadFile(const std::string& path) override {
    if (path == "a") return self_;
    return std::nullopt;
  }

 private:
  const std::string& self_;
};

class FuzzHost : public player::PlayerHost {
 public:
  void SwapMacroFile(const std::string&) override {}
  bool UseTray() override { return false; }
  void ShowApplicationWindow(bool) override {}
  void ShowMainWindow(bool) override {}
  bool IsMinimised() override { return false; }
  void RestoreProgram() override {}
  void MinimiseProgram() override {}
  std::string PlayingNickname() override { return "fuzz"; }
  uint16_t PlayingActivation() override { return 5; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  sim::SimPlatform sim;
  sim.windows.Open("Editor");
  sim.windows.Open("Calculator");
  CountingLoop loop(sim.event_loop);
  CountingInput input;
  platform::Platform view = sim.View();
  platform::Platform platform{
      loop,       view.message_boxes, input,          view.windows,       view.processes,
      view.shell, view.sound,         view.clipboard, view.named_objects, view.single_instance,
      view.locale};
  sim::SimPlaybackForms forms;
  forms.Answer("continue");
  forms.Answer("abc");
  forms.Answer("3");
  forms.Answer("abort");
  FuzzFiles files(text);
  FuzzHost host;
  player::Player player(platform, forms, host, files);
  loop.player = &player;
  player.SetTargetWindow(sim.windows.Foreground());
  player.IntoProgram(text);
  Check(loop.pumps <= kMaxPumps);
  Check(input.events <= kMaxEvents);
  Check(forms.messages().size() <= 1);
  return 0;
}
