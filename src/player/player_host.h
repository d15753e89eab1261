#pragma once

#include <cstdint>
#include <string>

namespace quillomat::player {

// What the player needs from the program around it (the main window implements it).
class PlayerHost {
 public:
  virtual ~PlayerHost() = default;

  // "<SWAP:": make this the open macro file (load it, publish its hot keys, refresh the lists).
  virtual void SwapMacroFile(const std::string& path) = 0;

  // The Use Tray setting.
  virtual bool UseTray() = 0;
  // Tray mode: the application window is normally hidden; it is shown around a pause or message.
  virtual void ShowApplicationWindow(bool show) = 0;
  // Without the tray: the main window is hidden while a pause box or message is up.
  virtual void ShowMainWindow(bool show) = 0;
  virtual bool IsMinimised() = 0;
  virtual void RestoreProgram() = 0;
  virtual void MinimiseProgram() = 0;

  // The macro being played, for the pause box: its nickname and its `Activation` (a hot-key
  // catalogue index, or the timed or Trigword marker).
  virtual std::string PlayingNickname() = 0;
  virtual uint16_t PlayingActivation() = 0;
};

}  // namespace quillomat::player
