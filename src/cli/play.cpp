// qlx play --dry-run: plays macro text on the simulated desktop and prints what it did, one
// event a line.

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "language/macro_text.h"
#include "platform/cp1252.h"
#include "platform/posix/posix_event_loop.h"
#include "platform/posix/posix_locale.h"
#include "platform/posix/posix_named_objects.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/posix_single_instance.h"
#include "platform/sim/sim_event_log.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_playback_forms.h"
#include "platform/x11/alsa_sound.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_windows.h"
#include "player/file_commands.h"
#include "player/player.h"
#include "store/macro_file_io.h"
#include "store/macro_record.h"

namespace quillomat::cli {

namespace {

using sim::SimEventLog;

constexpr const char* kUsage =
    "usage: qlx play [--dry-run] [OPTIONS] [--] MACRO-TEXT\n"
    "       qlx play [--dry-run] [OPTIONS] --text-file FILE\n"
    "       qlx play [--dry-run] [OPTIONS] --file FILE.QLX --macro N\n";

constexpr const char* kHelp =
    "\n"
    "Plays macro text into the window that has the focus on the X display in $DISPLAY, or\n"
    "with --dry-run on a simulated desktop, printing each event on its own line.\n"
    "MACRO-TEXT is taken as UTF-8 and played as cp1252; a text file (played as \"<TFILE:\"\n"
    "plays it, a final Ctrl+Z dropped) and a macro file's record are played as their bytes.\n"
    "In a dry run nothing is typed, no program is started and no file is changed; files\n"
    "that the macro reads (\"<TFILE:\", \"<CLIPF:\") are read. On the desktop, text put on\n"
    "the clipboard stays there after qlx has returned, until another program takes it;\n"
    "pause boxes and repeat prompts take their answers from --answer, messages are printed\n"
    "on standard error, and \"<SWAP:\" is ignored (there is no open macro file to switch).\n"
    "\n"
    "options:\n"
    "  --dry-run            play on the simulated desktop\n"
    "  --screen WxH         dry run: the screen size (default 1024x768)\n"
    "  --window TITLE       dry run: a window on the desktop; repeatable, the first is in front\n"
    "  --answer A           how the next pause box or repeat prompt is answered: continue,\n"
    "                       abort, or the text typed into the prompt; repeatable, taken in\n"
    "                       order (when none is left a pause continues, a prompt gets 1)\n"
    "  --now \"YYYY-MM-DD HH:MM:SS\"  dry run: the clock at the start (default 2026-01-05\n"
    "                       09:00:00)\n"
    "\n"
    "dry-run events (TEXT escaped: \\\\ \\r \\n \\t, \\xHH for other bytes outside 0x20..0x7E;\n"
    "\"QUOTED\" is escaped text in double quotes, a quote inside written \\x22):\n"
    "  key 0xVK down|up                    a key event (Windows virtual-key code)\n"
    "  mouse 0xFLAGS X Y DATA              a mouse event (absolute X Y in 0..65535)\n"
    "  wait MS                             a wait, scaled by the speed where it is scaled\n"
    "  clipboard TEXT                      text put on the clipboard\n"
    "  activate \"TITLE\" [refused]          a window brought to the front\n"
    "  window hide|show|minimize|maximize|restore|close \"TITLE\"\n"
    "  window move \"TITLE\" LEFT TOP WIDTH HEIGHT\n"
    "  open \"TARGET\" \"PARAMETERS\"          a program started, or a document or address opened\n"
    "  wave \"FILE\" wait|async               a sound played\n"
    "  bell                                the bell\n"
    "  chdir \"FOLDER\"                      the current folder changed\n"
    "  delete \"FILE\"                       a file deleted\n"
    "  copy \"FROM\" \"TO\"                    a file copied (overwriting)\n"
    "  rename \"FROM\" \"TO\"                  a file moved\n"
    "  swap \"FILE\"                         the open macro file switched\n"
    "  pause TOP LEFT WxH \"CAPTION\" \"MESSAGE\" continue|abort   a pause box and its answer\n"
    "  prompt \"LABEL\" \"ANSWER\" accepted|refused                a repeat prompt's entry\n"
    "  message \"TITLE\" \"TEXT\"              an on-top message\n"
    "  box \"TITLE\" \"TEXT\"                  a message box\n"
    "\n"
    "Playing on the desktop fails with exit code 1 when there is no X display, or it lacks\n"
    "the XTest or XKB extension.\n";

int Usage(const std::string& problem) {
  std::cerr << "qlx play: " << problem << " (qlx play --help)\n";
  return kExitUsage;
}

int Failure(const std::string& problem) {
  std::cerr << "qlx play: " << problem << "\n";
  return kExitFailure;
}

// Reads what the macro asks of the file system without changing anything.
class DryRunFiles : public player::FileCommands {
 public:
  explicit DryRunFiles(SimEventLog& log) : log_(log) {}
  void ChangeDir(const std::string& path) override {
    log_.Add("chdir " + SimEventLog::Quote(path));
  }
  void DeleteFile(const std::string& path) override {
    log_.Add("delete " + SimEventLog::Quote(path));
  }
  void CopyFile(const std::string& from, const std::string& to) override {
    log_.Add("copy " + SimEventLog::Quote(from) + " " + SimEventLog::Quote(to));
  }
  void RenameFile(const std::string& from, const std::string& to) override {
    log_.Add("rename " + SimEventLog::Quote(from) + " " + SimEventLog::Quote(to));
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    return disk_.ReadFile(path);
  }

 private:
  SimEventLog& log_;
  player::DiskFileCommands disk_;
};

class DryRunBoxes : public platform::MessageBoxes {
 public:
  explicit DryRunBoxes(SimEventLog& log) : log_(log) {}
  platform::MessageResult Show(const std::string& title, const std::string& text,
                               platform::MessageButtons buttons) override {
    log_.Add("box " + SimEventLog::Quote(title) + " " + SimEventLog::Quote(text));
    return buttons == platform::MessageButtons::kYesNo ||
                   buttons == platform::MessageButtons::kYesNoCancel
               ? platform::MessageResult::kYes
               : platform::MessageResult::kOk;
  }

 private:
  SimEventLog& log_;
};

class DryRunHost : public player::PlayerHost {
 public:
  DryRunHost(SimEventLog& log, std::string nickname, uint16_t activation)
      : log_(log), nickname_(std::move(nickname)), activation_(activation) {}
  void SwapMacroFile(const std::string& path) override {
    log_.Add("swap " + SimEventLog::Quote(path));
  }
  bool UseTray() override { return false; }
  void ShowApplicationWindow(bool) override {}
  void ShowMainWindow(bool) override {}
  bool IsMinimised() override { return false; }
  void RestoreProgram() override {}
  void MinimiseProgram() override {}
  std::string PlayingNickname() override { return nickname_; }
  uint16_t PlayingActivation() override { return activation_; }

 private:
  SimEventLog& log_;
  std::string nickname_;
  uint16_t activation_;
};

std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<platform::ScreenSize> ParseScreen(const std::string& text) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return std::nullopt;
  const auto width = WholeNumber(text.substr(0, x));
  const auto height = WholeNumber(text.substr(x + 1));
  if (!width || !height || *width < 1 || *height < 1 || *width > 100000 || *height > 100000) {
    return std::nullopt;
  }
  return platform::ScreenSize{*width, *height};
}

std::optional<platform::LocalTime> ParseNow(const std::string& text) {
  // YYYY-MM-DD HH:MM:SS
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  const auto part = [&](size_t pos, size_t n) { return WholeNumber(text.substr(pos, n)); };
  const auto y = part(0, 4), mo = part(5, 2), d = part(8, 2), h = part(11, 2), mi = part(14, 2),
             s = part(17, 2);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  platform::LocalTime t{*y, *mo, *d, *h, *mi, *s, 0, 0};
  if (*y < 1900 || *mo < 1 || *mo > 12 || *d < 1 || *h > 23 || *mi > 59 || *s > 59) {
    return std::nullopt;
  }
  // Round trip through the day count: a day beyond the month is refused, the weekday found.
  const platform::LocalTime checked = platform::FromDayCount(platform::ToDayCount(t));
  if (checked.day != t.day || checked.month != t.month) return std::nullopt;
  return checked;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

struct Options {
  bool dry_run = false;
  platform::ScreenSize screen{1024, 768};
  std::vector<std::string> windows;
  std::vector<std::string> answers;
  std::optional<platform::LocalTime> now;
  std::optional<std::string> text;
  std::optional<std::string> text_file;
  std::optional<std::string> macro_file;
  std::optional<int> macro_number;
};

// What a playing macro reports without a main window: messages and boxes on standard error.
class StderrBoxes : public platform::MessageBoxes {
 public:
  platform::MessageResult Show(const std::string& title, const std::string& text,
                               platform::MessageButtons buttons) override {
    std::cerr << "qlx play: " << platform::Cp1252ToUtf8(title) << ": "
              << platform::Cp1252ToUtf8(text) << "\n";
    return buttons == platform::MessageButtons::kYesNo ||
                   buttons == platform::MessageButtons::kYesNoCancel
               ? platform::MessageResult::kYes
               : platform::MessageResult::kOk;
  }
};

int PlayOnDesktop(const std::string& text, const std::string& nickname, uint16_t activation,
                  const std::vector<std::string>& answers) {
  std::unique_ptr<x11::X11Input> input = x11::X11Input::Open();
  std::unique_ptr<x11::X11Windows> windows = x11::X11Windows::Open();
  std::unique_ptr<x11::X11Clipboard> clipboard = x11::X11Clipboard::Open();
  if (!input || !windows || !clipboard) {
    return Failure("cannot use the X display '" +
                   std::string(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") +
                   "' (is DISPLAY set, with the XTest and XKB extensions?)");
  }
  posix::PosixEventLoop event_loop;
  StderrBoxes boxes;
  posix::PosixProcesses processes;
  posix::PosixShell shell;
  x11::AlsaSound sound;
  posix::PosixNamedObjects named_objects;
  posix::PosixSingleInstance single_instance;
  posix::PosixLocale locale;
  platform::Platform platform{event_loop,    boxes,           *input, *windows,
                              processes,     shell,           sound,  *clipboard,
                              named_objects, single_instance, locale};
  // Pauses and prompts answered as told; what they show goes to standard error.
  SimEventLog log;
  log.SetSink([](const std::string& line) { std::cerr << "qlx play: " << line << '\n'; });
  sim::SimPlaybackForms forms;
  forms.SetLog(&log);
  for (const auto& answer : answers) forms.Answer(answer);
  player::DiskFileCommands files;
  DryRunHost host(log, nickname, activation);
  player::Player player(platform, forms, host, files);
  player.SetTargetWindow(windows->Foreground());
  player.IntoProgram(text);
  input->Flush();
  // The clipboard must outlive qlx for the program that pastes it.
  clipboard->ServeAfterExit();
  return kExitOk;
}

}  // namespace

int RunPlay(const std::vector<std::string>& args) {
  Options options;
  bool only_text = false;  // after "--" every argument is macro text
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!only_text && arg == "--") {
      only_text = true;
      continue;
    }
    if (only_text) {
      if (options.text) return Usage("takes one MACRO-TEXT, got another: '" + arg + "'");
      options.text = platform::Utf8ToCp1252(arg);
      continue;
    }
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage << kHelp;
      return kExitOk;
    }
    if (arg == "--dry-run") {
      options.dry_run = true;
    } else if (arg == "--screen" || arg == "--window" || arg == "--answer" || arg == "--now" ||
               arg == "--text-file" || arg == "--file" || arg == "--macro") {
      const auto v = value();
      if (!v) return Usage(arg + " needs a value");
      if (arg == "--screen") {
        const auto screen = ParseScreen(*v);
        if (!screen) return Usage("--screen takes WIDTHxHEIGHT in pixels, got '" + *v + "'");
        options.screen = *screen;
      } else if (arg == "--window") {
        options.windows.push_back(platform::Utf8ToCp1252(*v));
      } else if (arg == "--answer") {
        options.answers.push_back(platform::Utf8ToCp1252(*v));
      } else if (arg == "--now") {
        options.now = ParseNow(*v);
        if (!options.now) return Usage("--now takes \"YYYY-MM-DD HH:MM:SS\", got '" + *v + "'");
      } else if (arg == "--text-file") {
        options.text_file = *v;
      } else if (arg == "--file") {
        options.macro_file = *v;
      } else {
        options.macro_number = WholeNumber(*v);
        if (!options.macro_number || *options.macro_number < 1) {
          return Usage("--macro takes a macro number from 1, got '" + *v + "'");
        }
      }
    } else if (arg.size() > 1 && arg.starts_with("--")) {
      return Usage("unknown option '" + arg + "'");
    } else if (options.text) {
      return Usage("takes one MACRO-TEXT, got another: '" + arg + "'");
    } else {
      options.text = platform::Utf8ToCp1252(arg);
    }
  }
  const int sources = (options.text ? 1 : 0) + (options.text_file ? 1 : 0) +
                      (options.macro_file || options.macro_number ? 1 : 0);
  if (sources != 1) {
    return Usage("give one of MACRO-TEXT, --text-file FILE or --file FILE.QLX --macro N");
  }
  if (options.macro_file.has_value() != options.macro_number.has_value()) {
    return Usage("--file and --macro go together");
  }
  if (!options.dry_run && (!options.windows.empty() || options.now)) {
    return Usage("--window and --now belong to a dry run");
  }

  std::string text;
  std::string nickname;
  uint16_t activation = store::kTrigwordMacro;
  if (options.text) {
    text = *options.text;
  } else if (options.text_file) {
    const auto bytes = ReadWholeFile(*options.text_file);
    if (!bytes) return Failure("cannot read '" + *options.text_file + "'");
    text = *bytes;
    if (!text.empty() && text.back() == '\x1A') text.pop_back();
  } else {
    const auto n = static_cast<size_t>(*options.macro_number);
    const store::MacroFileContents contents = store::ReadMacroFileRecords(*options.macro_file, n);
    if (contents.status != store::ReadStatus::kOk) {
      return Failure("'" + *options.macro_file + "': " + contents.error);
    }
    if (n > contents.records.size()) {
      return Failure("'" + *options.macro_file + "' holds " +
                     std::to_string(contents.records_in_file) + " macros; there is no macro " +
                     std::to_string(n));
    }
    const store::MacroRecord& record = contents.records[n - 1];
    text = record.Text();
    nickname = record.nickname.Get();
    activation = static_cast<uint16_t>(record.activation.Get());
  }
  if (language::CutToMacroLimit(text)) {
    std::cerr << "qlx play: the macro text is longer than 5000 characters; playing the first "
                 "5000\n";
  }

  if (!options.dry_run) return PlayOnDesktop(text, nickname, activation, options.answers);

  SimEventLog log;
  log.SetSink([](const std::string& line) { std::cout << line << '\n'; });
  sim::SimPlatform sim;
  sim.input.SetScreen(options.screen);
  if (options.now) sim.event_loop.SetNow(*options.now);
  for (auto it = options.windows.rbegin(); it != options.windows.rend(); ++it) {
    sim.windows.Open(*it);
  }
  sim.input.SetLog(&log);
  sim.windows.SetLog(&log);
  sim.shell.SetLog(&log);
  sim.sound.SetLog(&log);
  sim.clipboard.SetLog(&log);
  DryRunBoxes boxes(log);
  platform::Platform view = sim.View();
  platform::Platform platform{view.event_loop,      boxes,          view.input,
                              view.windows,         view.processes, view.shell,
                              view.sound,           view.clipboard, view.named_objects,
                              view.single_instance, view.locale};
  sim::SimPlaybackForms forms;
  forms.SetLog(&log);
  for (const auto& answer : options.answers) forms.Answer(answer);
  DryRunFiles files(log);
  DryRunHost host(log, nickname, activation);
  player::Player player(platform, forms, host, files);
  player.SetWaitObserver(
      [&log](double ms) { log.Add("wait " + std::to_string(std::llround(ms))); });
  player.SetTargetWindow(sim.windows.Foreground());
  player.IntoProgram(text);
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

}  // namespace quillomat::cli
