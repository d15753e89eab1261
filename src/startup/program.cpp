#include "startup/program.h"

#include "startup/settings_file.h"

namespace quillomat::startup {

Program::Program(platform::Platform platform, ProgramPaths paths, HookLibraryFactory make_hooks,
                 std::vector<std::string> arguments)
    : platform_(platform),
      paths_(std::move(paths)),
      make_hooks_(std::move(make_hooks)),
      arguments_(std::move(arguments)) {}

Program::~Program() = default;

int Program::Fatal(const std::string& text) {
  exit_message_ = text;
  platform_.message_boxes.Show(platform::kSystemErrorTitle, text);
  return kExitFatal;
}

std::optional<int> Program::Start() {
  EnsureFolder(paths_.program_dir);

  index_block_ = platform_.named_objects.CreateBlock(kIndexBlockName, store::kSharedIndexSize);
  if (!index_block_) return Fatal(kBlockNotCreated);
  index_ = std::make_unique<store::SharedIndex>();

  for (const char* name : kMutexNames) {
    auto mutex = platform_.named_objects.CreateMutex(name);
    if (!mutex) return Fatal(kMutexNotCreated);
    mutexes_.push_back(std::move(mutex));
  }

  settings_ = std::make_unique<SettingsRecord>();
  LoadSettings(paths_.settings_file, paths_.program_dir, *settings_);

  // The test for a running instance comes after the load, so a second start reads the same
  // file; it publishes nothing, since the running instance owns the shared copy.
  if (!platform_.single_instance.Claim()) {
    exit_message_ = settings_->use_tray ? kAlreadyRunningInTray : kAlreadyRunning;
    platform_.message_boxes.Show("", exit_message_);
    return kExitNormal;
  }

  hooks_ = make_hooks_(index_block_->Data());
  macro_file_ = std::make_unique<store::MacroFile>(*settings_, *index_, *hooks_,
                                                   platform_.message_boxes, platform_.event_loop);
  macro_file_->LoadMacroFile(settings_->current_file);
  return std::nullopt;
}

}  // namespace quillomat::startup
