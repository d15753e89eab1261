#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "activation/hook_library.h"
#include "platform/named_objects.h"
#include "startup/command_line.h"
#include "startup/program.h"

namespace quillomat::management {

struct MacroListRow {
  int number = 0;
  std::string activation;
  std::string nickname;
  std::string scope;
  bool active = false;

  bool operator==(const MacroListRow&) const = default;
};

struct WindowGeometry {
  int left = 0, top = 0, width = 640, height = 424;
};

// What the main window's logic asks of its widgets. Texts are cp1252.
class MainWinView {
 public:
  virtual ~MainWinView() = default;
  // The window's handle as the hook library knows it.
  virtual uint32_t WindowHandle() = 0;
  virtual bool TraySupported() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetRows(const std::vector<MacroListRow>& rows) = 0;
  // The list's columns after the narrow first one.
  virtual void SetColumnWidths(int activation, int nickname, int scope) = 0;
  virtual void SetGeometry(const WindowGeometry& geometry) = 0;
  virtual WindowGeometry Geometry() = 0;
  virtual void HideWindow() = 0;
  virtual void MinimizeApp() = 0;
  virtual void MaximizeWindow() = 0;
};

// The main window's state and commands, apart from its widgets.
class TMainWin {
 public:
  TMainWin(startup::Program& program, MainWinView& view);
  ~TMainWin();

  // Creation: shared blocks for the hook library, the index published, hooks installed,
  // the command line applied, geometry restored. False when a fatal error ended it (the
  // message has been shown; the process exits with kExitFatal).
  bool FormCreate();
  void FormShow();
  void FormActivate();
  void FormPaint();
  // Shutdown: hooks removed, shared blocks released, geometry and settings saved.
  void FormClose();

  void DoCaption();
  void FillList();
  // The current file's name without its folder and without its last four characters.
  std::string DisplayName() const;
  std::vector<MacroListRow> Rows() const;

  const startup::CommandLineEffects& start_flags() const { return start_flags_; }
  bool closing() const { return closing_; }

 private:
  void ApplyArgument(const std::string& argument);
  void LoadFromCommandLine(const std::string& path);

  startup::Program& program_;
  MainWinView& view_;
  // What the switches asked for: hiding on the first paint, the browse modes.
  startup::CommandLineEffects start_flags_;
  bool closing_ = false;
  bool tray_supported_ = false;
  platform::ScreenSize screen_;
  double speed_factor_ = 1.0;
  std::unique_ptr<platform::SharedBlock> remap_block_;
  std::unique_ptr<platform::SharedBlock> cbt_block_;
  activation::HookHandle keyboard_hook_ = 0;
  activation::HookHandle mouse_hook_ = 0;
  activation::HookHandle cbt_hook_ = 0;
  activation::HookHandle remap_hook_ = 0;
};

}  // namespace quillomat::management
