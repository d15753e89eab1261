#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "activation/hook_library.h"
#include "platform/platform.h"
#include "startup/program_paths.h"
#include "startup/settings.h"
#include "store/macro_file.h"
#include "store/shared_index.h"

namespace quillomat::startup {

inline constexpr char kProgramTitle[] = "Quillomat 98";

// Names of the kernel objects shared with the hook library.
inline constexpr char kIndexBlockName[] = "QLBA1KGR";
inline constexpr char kRemapBlockName[] = "QLTT1KGR";
inline constexpr char kCbtBlockName[] = "QLKR1KGR";
inline constexpr const char* kMutexNames[] = {"QL88aveR", "QLKZaveR", "QLQJaveR"};
inline constexpr size_t kRemapBlockSize = 104;
inline constexpr size_t kCbtBlockSize = 17;

inline constexpr char kBlockNotCreated[] =
    "Memory Mapped File could not be created.  Quillomat will terminate.";
inline constexpr char kBlockNotMapped[] =
    "Memory Mapped File could not be mapped.  Quillomat will terminate.";
inline constexpr char kMutexNotCreated[] = "Mutex could not be created.  Quillomat will terminate.";
inline constexpr char kAlreadyRunning[] = "Quillomat 98 is already running.";
inline constexpr char kAlreadyRunningInTray[] =
    "Quillomat 98 is already running.  Right Click on the Quillomat Icon in the system tray in "
    "the bottom right corner to active.";

// Exit codes of the process.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitFatal = 1;  // after a "System Error" box

// Builds the hook library on the shared copy of the index (the "QLBA1KGR" block).
using HookLibraryFactory =
    std::function<std::unique_ptr<activation::HookLibrary>(uint8_t* shared_index)>;

// The process-wide objects, from the program's first step to its exit: the shared blocks and
// mutexes of the hook library, the index working copy, the settings and the macro file.
class Program {
 public:
  Program(platform::Platform platform, ProgramPaths paths, HookLibraryFactory make_hooks,
          std::vector<std::string> arguments);
  ~Program();

  // The entry up to the creation of the main window: kernel objects, settings, the macro
  // file, and the single-instance test. Returns the exit code when the process must end
  // without a main window.
  std::optional<int> Start();

  // Shows the fatal start-up message; the caller exits with kExitFatal.
  int Fatal(const std::string& text);
  // The message shown when Start ended the process, also for a terminal to print.
  const std::string& exit_message() const { return exit_message_; }

  platform::Platform& platform() { return platform_; }
  const ProgramPaths& paths() const { return paths_; }
  const std::vector<std::string>& arguments() const { return arguments_; }
  SettingsRecord& settings() { return *settings_; }
  store::SharedIndex& index() { return *index_; }
  activation::HookLibrary& hooks() { return *hooks_; }
  store::MacroFile& macro_file() { return *macro_file_; }

 private:
  platform::Platform platform_;  // a bundle of references
  ProgramPaths paths_;
  HookLibraryFactory make_hooks_;
  std::vector<std::string> arguments_;
  std::string exit_message_;

  std::unique_ptr<platform::SharedBlock> index_block_;
  std::unique_ptr<store::SharedIndex> index_;
  std::vector<std::unique_ptr<platform::NamedMutex>> mutexes_;
  std::unique_ptr<SettingsRecord> settings_;
  std::unique_ptr<activation::HookLibrary> hooks_;
  std::unique_ptr<store::MacroFile> macro_file_;
};

}  // namespace quillomat::startup
