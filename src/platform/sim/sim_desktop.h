#pragma once

// The rest of the simulated desktop: windows, programs, shell, sound, clipboard, named
// objects and the instance marker. Each keeps a log that tests read back.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/named_objects.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "platform/sim/sim_event_log.h"
#include "platform/single_instance.h"
#include "platform/sound.h"
#include "platform/windows.h"

namespace quillomat::sim {

class SimWindows : public platform::Windows {
 public:
  struct SimWindow {
    platform::WindowInfo info;
    int left = 0, top = 0, width = 400, height = 300;
    bool minimized = false, maximized = false;
    bool refuses_activation = false;
  };

  std::vector<platform::WindowInfo> TopLevel() override;
  platform::WindowId Foreground() override;
  platform::WindowResult Activate(platform::WindowId window) override;
  platform::WindowResult Show(platform::WindowId window, platform::ShowCommand command) override;
  platform::WindowResult MoveResize(platform::WindowId window, int left, int top, int width,
                                    int height) override;
  std::optional<platform::WindowRect> Geometry(platform::WindowId window) override;
  platform::WindowResult Close(platform::WindowId window) override;
  // Ends the window's program: its windows go.
  platform::WindowResult Quit(platform::WindowId window) override;

  // Reports activations ("activate"), show commands, moves and closes ("window ...").
  void SetLog(SimEventLog* log) { log_ = log; }
  // Opens a window on top of the others and gives it the focus.
  platform::WindowId Open(const std::string& title, const std::string& program = "APP");
  SimWindow* Find(platform::WindowId window);
  const std::vector<SimWindow>& stack() const { return stack_; }  // top first

 private:
  void Log(const std::string& verb, const SimWindow& window, const std::string& rest = "");

  std::vector<SimWindow> stack_;
  platform::WindowId next_id_ = 1;
  SimEventLog* log_ = nullptr;
};

class SimProcesses : public platform::Processes {
 public:
  std::vector<std::string> RunningPrograms() override { return programs_; }
  void SetRunning(std::vector<std::string> programs) { programs_ = std::move(programs); }

 private:
  std::vector<std::string> programs_;
};

class SimShell : public platform::Shell {
 public:
  struct Opened {
    std::string target, parameters;
  };
  bool Open(const std::string& target, const std::string& parameters) override;
  void SetFails(bool fails) { fails_ = fails; }
  const std::vector<Opened>& opened() const { return opened_; }
  // Reports "open TARGET PARAMETERS".
  void SetLog(SimEventLog* log) { log_ = log; }

 private:
  std::vector<Opened> opened_;
  SimEventLog* log_ = nullptr;
  bool fails_ = false;
};

class SimSound : public platform::Sound {
 public:
  struct Played {
    std::string path;
    bool wait;
  };
  void PlayWave(const std::string& path, bool wait) override {
    played_.push_back({path, wait});
    if (log_) log_->Add("wave " + SimEventLog::Quote(path) + (wait ? " wait" : " async"));
  }
  void Bell() override {
    ++bells_;
    if (log_) log_->Add("bell");
  }
  // Reports "wave PATH wait|async" and "bell".
  void SetLog(SimEventLog* log) { log_ = log; }
  const std::vector<Played>& played() const { return played_; }
  int bells() const { return bells_; }

 private:
  std::vector<Played> played_;
  int bells_ = 0;
  SimEventLog* log_ = nullptr;
};

class SimClipboard : public platform::Clipboard {
 public:
  bool SetText(const std::string& text) override {
    text_ = text;
    if (log_) log_->Add("clipboard " + SimEventLog::Escape(text));
    return true;
  }
  std::string Text() override { return text_; }
  // Reports "clipboard TEXT".
  void SetLog(SimEventLog* log) { log_ = log; }

 private:
  std::string text_;
  SimEventLog* log_ = nullptr;
};

// Named objects shared within this process, as between one program and its hook library.
class SimNamedObjects : public platform::NamedObjects {
 public:
  std::unique_ptr<platform::SharedBlock> CreateBlock(const std::string& name, size_t size) override;
  std::unique_ptr<platform::NamedMutex> CreateMutex(const std::string& name) override;

  void SetFails(bool fails) { fails_ = fails; }
  // The bytes of a block that was created, or nullptr.
  std::vector<uint8_t>* Block(const std::string& name);
  const std::set<std::string>& mutexes() const { return mutexes_; }

 private:
  std::map<std::string, std::shared_ptr<std::vector<uint8_t>>> blocks_;
  std::set<std::string> mutexes_;
  bool fails_ = false;
};

class SimSingleInstance : public platform::SingleInstance {
 public:
  bool Claim() override;
  void Release() override { held_ = false; }
  void SetOtherRunning(bool running) { other_running_ = running; }
  bool held() const { return held_; }

 private:
  bool other_running_ = false;
  bool held_ = false;
};

}  // namespace quillomat::sim
