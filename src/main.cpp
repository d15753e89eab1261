// quillomat: the resident program.

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <iostream>
#include <memory>

#include "activation/publishing_hook_library.h"
#include "management/main_win.h"
#include "platform/posix/posix_locale.h"
#include "platform/posix/posix_named_objects.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/posix_single_instance.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_sound.h"
#include "platform/unavailable.h"
#include "startup/program.h"
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
  qtp::QtSound sound;
  platform::NoInput input({screen.width(), screen.height()});
  platform::NoWindows windows;
  posix::PosixProcesses processes;
  posix::PosixShell shell;
  posix::PosixNamedObjects named_objects;
  posix::PosixSingleInstance single_instance;
  posix::PosixLocale locale;
  platform::Platform platform{event_loop,    message_boxes,   input, windows,
                              processes,     shell,           sound, clipboard,
                              named_objects, single_instance, locale};

  // Until a desktop monitor is available, the hook library publishes and reports nothing.
  auto make_hooks = [](uint8_t* shared) {
    return std::make_unique<activation::PublishingHookLibrary>(shared);
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
  if (!program->settings().use_tray) view.show();
  return app.exec();
}
