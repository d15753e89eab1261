#pragma once

// A player on the simulated desktop, with a host that records what the player asked of it.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_playback_forms.h"
#include "player/file_commands.h"
#include "player/player.h"

namespace quillomat::player {

class RecordingHost : public PlayerHost {
 public:
  void SwapMacroFile(const std::string& path) override { calls.push_back("swap " + path); }
  bool UseTray() override { return use_tray; }
  void ShowApplicationWindow(bool show) override {
    calls.push_back(show ? "show app" : "hide app");
  }
  void ShowMainWindow(bool show) override { calls.push_back(show ? "show main" : "hide main"); }
  bool IsMinimised() override { return minimised; }
  void RestoreProgram() override {
    minimised = false;
    calls.push_back("restore");
  }
  void MinimiseProgram() override {
    minimised = true;
    calls.push_back("minimise");
  }
  std::string PlayingNickname() override { return nickname; }
  uint16_t PlayingActivation() override { return activation; }

  bool use_tray = false;
  bool minimised = false;
  std::string nickname = "Test macro";
  uint16_t activation = 10000;
  std::vector<std::string> calls;
};

inline constexpr uint32_t kAbortMessage = 0x405;

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() {
    sim.event_loop.SetMessageHandler([this](const platform::PostedMessage& m) {
      if (m.message == kAbortMessage) player.RequestAbort();
    });
    player.SetWaitObserver([this](double ms) { waits.push_back(ms); });
  }

  void Play(const std::string& text) { player.IntoProgram(text); }

  // Key events as "10+ 41+ 41- 10-", mouse events as "m8001:x,y,data".
  std::string Keys() const {
    std::string out;
    char item[48];
    for (const auto& e : sim.input.events()) {
      if (e.kind == sim::SimInput::Event::kKey) {
        std::snprintf(item, sizeof item, "%02X%c", e.vk, e.up ? '-' : '+');
      } else {
        std::snprintf(item, sizeof item, "m%04X:%d,%d,%d", static_cast<unsigned>(e.flags), e.x, e.y,
                      e.data);
      }
      if (!out.empty()) out += ' ';
      out += item;
    }
    return out;
  }

  // The digits and letters typed, letters in lower case (shift ignored).
  std::string Typed() const {
    std::string out;
    for (const auto& e : sim.input.events()) {
      if (e.kind != sim::SimInput::Event::kKey || e.up) continue;
      if (e.vk >= '0' && e.vk <= '9') out += static_cast<char>(e.vk);
      if (e.vk >= 'A' && e.vk <= 'Z') out += static_cast<char>(e.vk - 'A' + 'a');
    }
    return out;
  }

  sim::SimPlatform sim;
  platform::Platform view = sim.View();
  sim::SimPlaybackForms forms;
  RecordingHost host;
  DiskFileCommands files;
  Player player{view, forms, host, files};
  std::vector<double> waits;
};

}  // namespace quillomat::player
