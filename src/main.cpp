// quillomat: the resident program.

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <iostream>
#include <memory>

#include "management/main_win.h"
#include "platform/posix/posix_locale.h"
#include "platform/posix/posix_named_objects.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/posix_single_instance.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/unavailable.h"
#include "platform/x11/alsa_sound.h"
#include "platform/x11/x11_hook_library.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_windows.h"
#include "startup/program.h"
#include "store/hotkey_catalogue.h"
#include "ui/main_win_view.h"
#include "ui/playback_forms_view.h"
#include "ui/popup_menu_view.h"

using namespace quillomat;

namespace {

int signal_pipe[2] = {-1, -1};

void OnTerminate(int) {
  const char byte = 1;
  [[maybe_unused]] auto n = write(signal_pipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the main window as its close box does, so the settings are saved.
void CloseOnTerminate(QWidget* window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char byte;
    [[maybe_unused]] auto n = read(signal_pipe[0], &byte, 1);
    window->close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("quillomat");
  QApplication::setQuitOnLastWindowClosed(false);

  const QSize screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry().size()
                           : QSize(1024, 768);

  qtp::QtEventLoop event_loop;
  qtp::QtMessageBoxes message_boxes;
  qtp::QtClipboard clipboard;
  x11::AlsaSound sound;
  // The desktop's input and windows; without XTest (or another X server than X11) the
  // program still lists and edits macros, it only cannot play them.
  std::unique_ptr<platform::Input> input = x11::X11Input::Open();
  std::unique_ptr<platform::Windows> windows = x11::X11Windows::Open();
  if (!input || !windows) {
    std::cerr << "quillomat: the X server offers no XTest or XKB; macros cannot be played\n";
    input =
        std::make_unique<platform::NoInput>(platform::ScreenSize{screen.width(), screen.height()});
    windows = std::make_unique<platform::NoWindows>();
  }
  posix::PosixProcesses processes;
  posix::PosixShell shell;
  posix::PosixNamedObjects named_objects;
  posix::PosixSingleInstance single_instance;
  posix::PosixLocale locale;
  platform::Platform platform{event_loop,    message_boxes,   *input, *windows,
                              processes,     shell,           sound,  clipboard,
                              named_objects, single_instance, locale};

  // The desktop monitor: hot keys, typing, window activations, the abort key.
  x11::X11HookLibrary* monitor = nullptr;
  auto make_hooks = [&](uint8_t*) {
    auto hooks = std::make_unique<x11::X11HookLibrary>(event_loop);
    monitor = hooks.get();
    return hooks;
  };
  std::vector<std::string> arguments;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) arguments.push_back(args[i].toStdString());

  auto program = std::make_unique<startup::Program>(
      platform, startup::ProgramPaths::FromEnvironment(), make_hooks, std::move(arguments));
  if (auto exit_code = program->Start()) {
    std::cerr << "quillomat: " << program->exit_message() << "\n";
    return *exit_code;
  }

  ui::TMainWinView view;
  ui::QtPlaybackForms forms;
  ui::QtMenuWindow menu_window;
  management::TMainWin main_win(*program, view, forms, menu_window);
  forms.SetPauseActivated([&main_win] { main_win.player().PauseBoxActivated(); });
  view.Attach(&main_win, program->settings().use_tray);
  if (!main_win.FormCreate()) return startup::kExitFatal;
  CloseOnTerminate(&view);
  if (const std::vector<int> taken = monitor->UnavailableHotKeys(); !taken.empty()) {
    std::string names;
    for (int index : taken) names += "\n" + store::HotKeyName(index);
    message_boxes.Show(platform::kWarningTitle,
                       "These hot keys are held by another program or missing from the "
                       "keyboard, and will not work:" +
                           names,
                       platform::MessageButtons::kOk);
  }
  if (!program->settings().use_tray) view.show();
  return app.exec();
}
