#include "platform/sim/sim_desktop.h"

#include <algorithm>

namespace quillomat::sim {

std::vector<platform::WindowInfo> SimWindows::TopLevel() {
  std::vector<platform::WindowInfo> list;
  for (const auto& w : stack_) list.push_back(w.info);
  return list;
}

platform::WindowId SimWindows::Foreground() {
  for (const auto& w : stack_) {
    if (w.info.visible && !w.minimized) return w.info.id;
  }
  return platform::kNoWindow;
}

SimWindows::SimWindow* SimWindows::Find(platform::WindowId window) {
  for (auto& w : stack_) {
    if (w.info.id == window) return &w;
  }
  return nullptr;
}

using platform::WindowResult;

WindowResult SimWindows::Activate(platform::WindowId window) {
  auto it = std::find_if(stack_.begin(), stack_.end(),
                         [&](const SimWindow& w) { return w.info.id == window; });
  if (it == stack_.end()) return WindowResult::kNoWindow;
  if (it->refuses_activation) {
    Log("activate", *it, " refused");
    return WindowResult::kRefused;
  }
  Log("activate", *it);
  SimWindow w = *it;
  w.minimized = false;
  w.info.minimized = false;
  w.info.visible = true;
  stack_.erase(it);
  stack_.insert(stack_.begin(), w);
  return WindowResult::kDone;
}

WindowResult SimWindows::Show(platform::WindowId window, platform::ShowCommand command) {
  SimWindow* w = Find(window);
  if (!w) return WindowResult::kNoWindow;
  using platform::ShowCommand;
  static constexpr const char* kNames[] = {"hide", "show", "minimize", "maximize", "restore"};
  Log("window " + std::string(kNames[static_cast<int>(command)]), *w);
  switch (command) {
    case ShowCommand::kHide:
      w->info.visible = false;
      break;
    case ShowCommand::kShow:
      w->info.visible = true;
      break;
    case ShowCommand::kMinimize:
      w->minimized = true;
      break;
    case ShowCommand::kMaximize:
      w->maximized = true;
      w->minimized = false;
      break;
    case ShowCommand::kRestore:
      w->maximized = false;
      w->minimized = false;
      break;
  }
  w->info.minimized = w->minimized;
  return WindowResult::kDone;
}

WindowResult SimWindows::MoveResize(platform::WindowId window, int left, int top, int width,
                                    int height) {
  SimWindow* w = Find(window);
  if (!w) return WindowResult::kNoWindow;
  Log("window move", *w,
      " " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(width) + " " +
          std::to_string(height));
  w->left = left;
  w->top = top;
  w->width = width;
  w->height = height;
  return WindowResult::kDone;
}

std::optional<platform::WindowRect> SimWindows::Geometry(platform::WindowId window) {
  SimWindow* w = Find(window);
  if (!w) return std::nullopt;
  return platform::WindowRect{w->left, w->top, w->width, w->height};
}

WindowResult SimWindows::Close(platform::WindowId window) {
  auto it = std::find_if(stack_.begin(), stack_.end(),
                         [&](const SimWindow& w) { return w.info.id == window; });
  if (it == stack_.end()) return WindowResult::kNoWindow;
  Log("window close", *it);
  stack_.erase(it);
  return WindowResult::kDone;
}

WindowResult SimWindows::Quit(platform::WindowId window) {
  SimWindow* w = Find(window);
  if (!w) return WindowResult::kNoWindow;
  Log("window quit", *w);
  const std::string program = w->info.program;
  std::erase_if(stack_, [&](const SimWindow& s) { return s.info.program == program; });
  return WindowResult::kDone;
}

void SimWindows::Log(const std::string& verb, const SimWindow& window, const std::string& rest) {
  if (log_) log_->Add(verb + " " + SimEventLog::Quote(window.info.title) + rest);
}

platform::WindowId SimWindows::Open(const std::string& title, const std::string& program) {
  SimWindow w;
  w.info.id = next_id_++;
  w.info.title = title;
  w.info.program = program;
  stack_.insert(stack_.begin(), w);
  return w.info.id;
}

bool SimShell::Open(const std::string& target, const std::string& parameters) {
  opened_.push_back({target, parameters});
  if (log_) {
    log_->Add("open " + SimEventLog::Quote(target) + " " + SimEventLog::Quote(parameters) +
              (fails_ ? " failed" : ""));
  }
  return !fails_;
}

namespace {
class SimBlock : public platform::SharedBlock {
 public:
  explicit SimBlock(std::shared_ptr<std::vector<uint8_t>> bytes) : bytes_(std::move(bytes)) {}
  uint8_t* Data() override { return bytes_->data(); }
  size_t Size() const override { return bytes_->size(); }

 private:
  std::shared_ptr<std::vector<uint8_t>> bytes_;
};
class SimMutex : public platform::NamedMutex {};
}  // namespace

std::unique_ptr<platform::SharedBlock> SimNamedObjects::CreateBlock(const std::string& name,
                                                                    size_t size) {
  if (fails_) return nullptr;
  auto& bytes = blocks_[name];
  if (!bytes) bytes = std::make_shared<std::vector<uint8_t>>(size, 0);
  return std::make_unique<SimBlock>(bytes);
}

std::unique_ptr<platform::NamedMutex> SimNamedObjects::CreateMutex(const std::string& name) {
  if (fails_) return nullptr;
  mutexes_.insert(name);
  return std::make_unique<SimMutex>();
}

std::vector<uint8_t>* SimNamedObjects::Block(const std::string& name) {
  auto it = blocks_.find(name);
  return it == blocks_.end() ? nullptr : it->second.get();
}

bool SimSingleInstance::Claim() {
  if (other_running_) return false;
  held_ = true;
  return true;
}

}  // namespace quillomat::sim
