#include "management/main_win.h"

#include "management/macro_list_text.h"
#include "platform/files.h"
#include "startup/settings_file.h"
#include "store/hot_key_flags.h"

namespace quillomat::management {

namespace {

void PutLe32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

TMainWin::TMainWin(startup::Program& program, MainWinView& view, platform::PlaybackForms& forms,
                   activation::MenuWindow& menu_window)
    : program_(program), view_(view) {
  player_ = std::make_unique<player::Player>(program_.platform(), forms, *this, files_);
  dispatch_ = std::make_unique<activation::HotKeyDispatch>(
      program_.platform(), program_.index(), program_.hooks(), program_.macro_file(),
      program_.settings(), *player_, menu_window, *this, program_.paths().program_dir + "/Icons");
  scheduler_ = std::make_unique<activation::Scheduler>(
      program_.platform().event_loop, program_.index(), program_.settings(), *this);
  trigwords_ = std::make_unique<activation::TrigwordEngine>(
      program_.platform(), program_.index(), program_.hooks(), program_.settings(), *this);
}

TMainWin::~TMainWin() {
  if (!closing_) program_.platform().event_loop.SetMessageHandler(nullptr);
}

bool TMainWin::FormCreate() {
  auto& platform = program_.platform();
  auto& settings = program_.settings();
  auto& index = program_.index();
  auto& hooks = program_.hooks();
  const uint32_t handle = view_.WindowHandle();

  closing_ = false;
  if (!view_.TraySupported()) settings.use_tray = false;

  remap_block_ =
      platform.named_objects.CreateBlock(startup::kRemapBlockName, startup::kRemapBlockSize);
  if (!remap_block_) {
    program_.Fatal(startup::kBlockNotCreated);
    return false;
  }
  PutLe32(remap_block_->Data(), handle);
  remap_block_->Data()[103] = 0;

  cbt_block_ = platform.named_objects.CreateBlock(startup::kCbtBlockName, startup::kCbtBlockSize);
  if (!cbt_block_) {
    program_.Fatal(startup::kBlockNotCreated);
    return false;
  }
  uint8_t* cbt = cbt_block_->Data();
  PutLe32(cbt, handle);
  PutLe32(cbt + 8, handle);
  PutLe32(cbt + 12, handle);
  cbt_hook_ = hooks.QlxHookCBT();
  PutLe32(cbt + 4, cbt_hook_);
  cbt[16] = 1;

  // The index starts with no capture, the main window as both windows, no programs.
  index.capture_option_740 = index.capture_double_alt = 0;
  index.capture_option_765 = index.capture_option_775 = 0;
  index.capture_window_sizes = index.capture_window_sizes_copy = 0;
  index.capture_keys = index.capture_mouse = index.capture_relative_to_screen = 0;
  index.capture_time = 0;
  index.stop_key_code.Set(0);
  index.stop_ctrl = index.stop_alt = index.stop_shift = 0;
  index.init_flag = 0;
  index.flag_14296 = 0;
  index.nt = 1;
  hooks.QlxUpCapture(index);
  hooks.QlxUpInit(index);
  index.main_window.Set(handle);
  hooks.QlxUpWindow(index);
  store::SetSecWind(index, hooks, handle, false);
  index.top_program.Set("");
  hooks.QlxUpProg(index);
  index.capture_on = 0;
  hooks.QlxUpCaptureOn(index);
  for (auto& name : index.running_programs) name.Set("");
  index.running_program_count.Set(0);
  hooks.QlxUpProgs(index);

  store::SetHotKeys(index, hooks);
  // What the hook library reports is handled on this thread, in order.
  platform.event_loop.SetMessageHandler(
      [this](const platform::PostedMessage& message) { HandleMessage(message); });
  index.keyboard_hook.Set(hooks.QlxHookKeyboard());
  index.mouse_hook.Set(hooks.QlxHookMouse());
  hooks.QlxUpKeyHook(index);
  hooks.QlxUpMouseHook(index);

  start_flags_ = {};
  for (const auto& argument : program_.arguments()) ApplyArgument(argument);

  view_.SetGeometry({settings.left, settings.top, settings.width, settings.height});

  // The schedule: its check runs every "Timer Seconds" while a timed macro is active, and
  // the start-up macros play 5 s after the window is created.
  scheduler_->CheckAndSetTime();
  view_.StartTimer(kStartUpTimer, activation::kStartUpMacroDelayMs, true);
  return true;
}

void TMainWin::ApplyArgument(const std::string& argument) {
  const startup::CommandLineEffects effects = startup::ProcessParam(argument, program_.settings());
  start_flags_.hide_on_first_paint |= effects.hide_on_first_paint;
  start_flags_.browse |= effects.browse;
  start_flags_.browse_all |= effects.browse_all;
  if (!effects.file_to_load.empty()) LoadFromCommandLine(effects.file_to_load);
}

void TMainWin::LoadFromCommandLine(const std::string& path) {
  program_.settings().current_file = path;
  program_.macro_file().LoadMacroFile(path);
  store::SetHotKeys(program_.index(), program_.hooks());
  DoCaption();
  FillList();
  scheduler_->CheckAndSetTime();
}

void TMainWin::FormShow() {
  const auto& settings = program_.settings();
  DoCaption();
  view_.SetColumnWidths(settings.col1_width, settings.col2_width, settings.col3_width);
  FillList();
}

void TMainWin::FormActivate() {
  // The desktop gives a program no start show command to honour; the window opens as the
  // window manager places it.
}

void TMainWin::FormPaint() {
  if (!start_flags_.hide_on_first_paint) return;
  start_flags_.hide_on_first_paint = false;
  view_.HideWindow();
}

void TMainWin::FormClose() {
  closing_ = true;
  program_.platform().event_loop.SetMessageHandler(nullptr);
  auto& hooks = program_.hooks();
  hooks.QlxUnHook(program_.index().keyboard_hook.Get());
  hooks.QlxUnHook(program_.index().mouse_hook.Get());
  if (remap_hook_) hooks.QlxUnHook(remap_hook_);
  hooks.QlxUnHook(cbt_hook_);
  cbt_block_.reset();
  remap_block_.reset();

  auto& settings = program_.settings();
  const WindowGeometry g = view_.Geometry();
  settings.width = g.width;
  settings.height = g.height;
  settings.left = g.left;
  settings.top = g.top;
  const std::string& path = program_.paths().settings_file;
  if (!startup::SaveSettings(path, settings)) {
    program_.platform().message_boxes.Show("Error",
                                           "The settings could not be saved to " + path + ".");
  }
}

std::string TMainWin::DisplayName() const {
  std::string name = platform::FileNamePart(platform::FullPath(program_.settings().current_file));
  return name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string();
}

void TMainWin::DoCaption() {
  std::string caption = std::string(startup::kProgramTitle) + " (" + DisplayName() + ")";
  if (start_flags_.browse_all) {
    caption += "    (Browse All Mode)";
  } else if (start_flags_.browse) {
    caption += "    (Browse Mode)";
  }
  view_.SetCaption(caption);
}

std::vector<MacroListRow> TMainWin::Rows() const {
  const auto& index = program_.index();
  const auto& settings = program_.settings();
  std::vector<MacroListRow> rows;
  for (int n = 1; n <= index.Count(); ++n) {
    rows.push_back({n, ActivationText(index.Activation(n), settings.trigwords[n]),
                    settings.nicknames[n], ScopeText(index.Scope(n), index.ScopeName(n)),
                    index.Active(n)});
  }
  return rows;
}

void TMainWin::FillList() { view_.SetRows(Rows()); }

void TMainWin::HandleMessage(const platform::PostedMessage& message) {
  if (dispatch_->HandleMessage(message)) return;
  if (message.message == activation::kTypedChar) {
    trigwords_->OnTypedChar(message.wparam, message.lparam);
  }
}

void TMainWin::OnTimer(int id) {
  if (id == kStartUpTimer) {
    view_.StopTimer(kStartUpTimer);
    scheduler_->DoStartUpMacros();
  } else if (id == kSchedulerTimer) {
    scheduler_->CheckOutTimerMacros();
    if (program_.settings().show_date) DoCaption();
  }
}

// The "<SWAP:" of a playing macro: the named file becomes the open one.
void TMainWin::SwapMacroFile(const std::string& path) {
  const std::string previous = program_.settings().current_file;
  program_.macro_file().LoadMacroFile(path);
  store::SetHotKeys(program_.index(), program_.hooks());
  DoCaption();
  FillList();
  scheduler_->CheckAndSetTime();
  program_.macro_file().DoLastFiles(previous, path);
}

bool TMainWin::UseTray() { return program_.settings().use_tray; }

// The desktop has no taskbar window apart from the main window; in tray mode there is
// nothing more to show or hide.
void TMainWin::ShowApplicationWindow(bool) {}

void TMainWin::ShowMainWindow(bool show) { view_.ShowWindow(show); }
bool TMainWin::IsMinimised() { return view_.Minimised(); }
void TMainWin::RestoreProgram() { view_.RestoreApp(); }
void TMainWin::MinimiseProgram() { view_.MinimizeApp(); }

std::string TMainWin::PlayingNickname() { return dispatch_->playback_record().nickname.Get(); }

uint16_t TMainWin::PlayingActivation() {
  return static_cast<uint16_t>(dispatch_->playback_record().activation.Get());
}

bool TMainWin::MainWindowVisible() { return view_.WindowVisible(); }
void TMainWin::BringMainWindowToFront() { view_.BringToFront(); }

void TMainWin::RestoreListState() {
  const auto& settings = program_.settings();
  view_.SetColumnWidths(settings.col1_width, settings.col2_width, settings.col3_width);
}

// The list keeps its own selection while hidden.
void TMainWin::RememberListRow() {}

// Capture, the editors' dialogs, network sharing and key remapping are not part of the
// program yet: none is ever in progress.
bool TMainWin::CaptureInProgress() { return false; }
void TMainWin::StartStopCapture() {}
bool TMainWin::TakeCaptureEndedFlag() { return false; }
bool TMainWin::DialogOpen() { return false; }
bool TMainWin::Terminating() { return terminating_; }
bool TMainWin::ReloadIfChanged() { return false; }
bool TMainWin::KeysRemapped() { return false; }
activation::HookHandle TMainWin::RemapHook() { return remap_hook_; }
void TMainWin::SetRemapHook(activation::HookHandle handle) { remap_hook_ = handle; }

}  // namespace quillomat::management

namespace quillomat::management {

bool TMainWin::ReadMacro(int n, store::MacroRecord& record) {
  return program_.macro_file().ReadMacro(n, record);
}

bool TMainWin::ActivateWindow(const std::string& title) { return player_->ActivateIt(title); }

bool TMainWin::ActivateProgram(const std::string& program) {
  return dispatch_->ActivateProg(program);
}

void TMainWin::PlayWave(const std::string& path, bool wait) { player_->DoWave(path, wait); }

// A timed macro plays like a hot-key macro, with the playing flag published, so that what it
// types is never taken for a hot key or a Trigword.
void TMainWin::PlayTimedMacro(int n, const store::MacroRecord& record) {
  dispatch_->SetCurrentMacro(n);
  dispatch_->playback_record() = record;
  dispatch_->SetTargetWindow(program_.platform().windows.Foreground());
  dispatch_->SetCapsLockOn(dispatch_->caps_lock_state());
  dispatch_->PlayPlaybackRecord();
}

bool TMainWin::MacroPlaying() { return dispatch_->playing(); }
bool TMainWin::MacroPaused() { return player_->PauseInProgress(); }

void TMainWin::EnableCheckTimer(bool enabled) {
  if (enabled) {
    view_.StartTimer(kSchedulerTimer, program_.settings().timer_seconds * 1000, false);
  } else {
    view_.StopTimer(kSchedulerTimer);
  }
}

bool TMainWin::PopupMenuDisplayed() { return dispatch_->popup_displayed(); }

void TMainWin::BeginTrigwordMacro(int n, const store::MacroRecord& record) {
  dispatch_->SetCurrentMacro(n);
  dispatch_->playback_record() = record;
}

// The Trigword engine publishes the playing flag and sends the end key itself.
void TMainWin::PlayTrigwordMacro(const store::MacroRecord& record, bool caps_lock) {
  player_->SetTargetWindow(program_.platform().windows.Foreground());
  player_->SetCapsLockToggled(caps_lock);
  player_->IntoProgram(record.Text());
}

}  // namespace quillomat::management
