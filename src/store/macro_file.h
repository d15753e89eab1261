#pragma once

#include <string>

#include "activation/hook_library.h"
#include "platform/event_loop.h"
#include "platform/message_boxes.h"
#include "startup/settings.h"
#include "store/macro_file_io.h"
#include "store/macro_record.h"
#include "store/shared_index.h"

namespace quillomat::store {

enum class LoadStatus {
  kLoaded,        // every record of the file is in the tables
  kLoadedPart,    // the first 500 complete records are in the tables; the file holds more
                  // records or ends in an incomplete one, which stay in the file untouched
  kCreated,       // the file did not exist and was created
  kCreateFailed,  // it did not exist and could not be created: no macros
  kUnreadable,    // it exists but cannot be read: no macros, and it is never written
};

// The current macro file and the tables filled from it: the nickname and Trigword tables of
// the settings and the per-macro entries and count of the shared index, each published
// through the hook library as it changes. The count of the shared index is the one count of
// loaded macros. The file is opened for one operation at a time.
//
// How damaged or unusual files are handled, so that nothing in them is ever lost:
// - Records beyond the 500th are not loaded; they stay in the file, and deleting a record
//   moves them down like the others. The user is told once (title "Warning").
// - An incomplete record at the end (a size that is not a multiple of 5165 bytes) is not
//   loaded, and the user is told. Appends are refused while the file does not end exactly
//   after the loaded records, so those bytes are never overwritten; in-place writes and
//   deletes keep them. The same rule refuses an append when another program has changed the
//   file's length since it was loaded.
// - A file that exists but cannot be read is never created anew or written: the user is
//   told, no macros are loaded, and every write is refused until a readable file is loaded.
class MacroFile {
 public:
  MacroFile(startup::SettingsRecord& settings, SharedIndex& index, activation::HookLibrary& hooks,
            platform::MessageBoxes& boxes, platform::EventLoop& loop)
      : settings_(settings), index_(index), hooks_(hooks), boxes_(boxes), loop_(loop) {}

  // Makes path the current file and replaces all tables by its records; a missing file is
  // created empty. Then the four system macros are ensured. The caller publishes the hot-key
  // flags afterwards.
  LoadStatus LoadMacroFile(const std::string& path);
  LoadStatus ReloadMacroFile() { return LoadMacroFile(current_file_); }

  // Reads record n (1..count) of the current file; on failure the buffer is left unchanged.
  bool ReadMacro(int n, MacroRecord& record) const;
  // Overwrites record n (1..count) in place, or with n = -1 appends the record as macro
  // count + 1 and raises the count itself (callers do not raise it first); then updates the
  // tables and publishes the item (and the count). On any failure: "Saving of keystrokes
  // failed." and nothing changes, tables included. A full file (500 macros) is refused
  // without a box: the caller gives its own refusal first.
  bool WriteMacro(int n, const MacroRecord& record);
  // Removes record n from the file; the records after it move down by one. The file is
  // replaced atomically. The tables are not touched: the caller reloads the file.
  bool DeleteMacro(int n);
  // Sets the Active byte of record n in the file and in the tables, and publishes the item.
  bool SetMacroActive(int n, bool active);
  // Restores the names of the system macros in the nickname table (the file keeps what it
  // holds) and appends those of the four that are missing. False if an append failed.
  bool EnsureSystemMacros();

  // Switches to another file: a missing file gives "File does not exist." and nothing
  // changes (false). Otherwise the file is loaded, the recent-files list updated and the file
  // becomes current (true, whatever the load found; LastLoadStatus() tells).
  bool OpenSaveFile(const std::string& path);
  void DoLastFiles(const std::string& previous, const std::string& new_file);

  const std::string& CurrentFile() const { return current_file_; }
  int Count() const { return index_.Count(); }
  LoadStatus LastLoadStatus() const { return last_status_; }
  // False while the current file could not be read or created: every write is refused.
  bool Writable() const { return writable_; }

 private:
  void ClearTables();
  void StoreItem(int n, const MacroRecord& record);
  void PublishCount(int count);
  bool Refuse();
  // Shows a warning about the current file, once for as long as the same kind holds.
  void WarnOnce(const std::string& kind, const std::string& text);

  startup::SettingsRecord& settings_;
  SharedIndex& index_;
  activation::HookLibrary& hooks_;
  platform::MessageBoxes& boxes_;
  platform::EventLoop& loop_;

  std::string current_file_;
  bool writable_ = false;
  LoadStatus last_status_ = LoadStatus::kCreateFailed;
  std::string last_warning_;  // path and kind of the last warning shown
};

// The names of the four system commands, by their digit "1".."4"; empty for anything else.
std::string SystemMacroName(char digit);
inline constexpr uint16_t kFirstSystemHotKey = 262;  // "Ctrl+Alt+Shift+W" for command "1"

}  // namespace quillomat::store
