// The player's own cost for a macro of 5000 characters on the simulated desktop (virtual
// time, events recorded in memory): plain text, and text mixed with tokens.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_playback_forms.h"
#include "player/file_commands.h"
#include "player/player.h"

namespace {

using namespace quillomat;

class BenchHost : public player::PlayerHost {
 public:
  void SwapMacroFile(const std::string&) override {}
  bool UseTray() override { return false; }
  void ShowApplicationWindow(bool) override {}
  void ShowMainWindow(bool) override {}
  bool IsMinimised() override { return false; }
  void RestoreProgram() override {}
  void MinimiseProgram() override {}
  std::string PlayingNickname() override { return "bench"; }
  uint16_t PlayingActivation() override { return 10000; }
};

std::string Repeated(const std::string& pattern) {
  std::string text;
  while (text.size() < 5000) text += pattern;
  text.resize(5000);
  return text;
}

void PlayText(benchmark::State& state, const std::string& text) {
  sim::SimPlatform sim;
  platform::Platform view = sim.View();
  sim::SimPlaybackForms forms;
  BenchHost host;
  player::DiskFileCommands files;
  player::Player player(view, forms, host, files);
  size_t events = 0;
  for (auto _ : state) {
    sim.input.Clear();
    player.IntoProgram(text);
    events = sim.input.events().size();
    benchmark::DoNotOptimize(events);
  }
  state.counters["events"] = static_cast<double>(events);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_PlainText(benchmark::State& state) {
  PlayText(state, Repeated("The quick brown fox jumps over the lazy dog, 1234567890. "));
}

void BM_MixedText(benchmark::State& state) {
  PlayText(state, Repeated("Dear Sir,<ENTER><TAB><CTRL>c<SHIFT><F5><MMS:00100,00250><LCLK>"
                           "\xE9t\xE9<ALT:0169><REPEAT:0002>ab<I><ENDREP><MSD:0001><HOME>"));
}

BENCHMARK(BM_PlainText);
BENCHMARK(BM_MixedText);

}  // namespace
