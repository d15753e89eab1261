#pragma once

// Trigwords: abbreviations typed in any program that are erased and replaced by their macro.
// The hook library reports each typed character; the engine keeps only the characters of the
// word being typed that a Trigword could still need, in memory, and nothing else.

#include <cstdint>
#include <string>
#include <vector>

#include "activation/hook_library.h"
#include "platform/platform.h"
#include "startup/settings.h"
#include "store/macro_record.h"
#include "store/shared_index.h"

namespace quillomat::activation {

// The characters a Trigword and a prefix key are made of; every other character ends a word.
bool IsTrigwordChar(char c);

inline constexpr char kBackspace = 8;
inline constexpr char kEnter = 13;
inline constexpr uint32_t kTypingReset = 1;   // wparam: start afresh (window change, click)
inline constexpr uint32_t kTypingCapsOn = 2;  // wparam: Caps Lock is on
inline constexpr size_t kMaxMatches = 50;

struct TrigwordOptions {
  bool solitary = false;
  bool case_sensitive = true;
  bool use_suffix = false;
  std::string prefix;  // used in prefix mode only

  // The prefix that applies: none in suffix mode.
  std::string Prefix() const { return use_suffix ? std::string() : prefix; }
  static TrigwordOptions From(const startup::SettingsRecord& settings);
};

// The word characters typed since the word began. `cut` says that characters were dropped
// from its front (or erased past its start), so it is no longer known where the word began.
struct TypedBuffer {
  std::string typed;
  bool cut = false;
};

struct TrigwordCandidate {
  int macro_number = 0;
  std::string trigword;
};

// One typed character (not a reset). capacity: the most characters any Trigword can need
// (prefix length + the longest Trigword). Returns true when the buffer is to be tested now;
// in suffix mode the caller tests `tested` (the word before the space or Enter) because the
// buffer itself has been emptied.
struct TypeStep {
  bool test = false;
  TypedBuffer tested;
};
TypeStep Type(TypedBuffer& buffer, const TrigwordOptions& options, size_t capacity, char c);

// The macros whose Trigword the buffer completes, in the given (file) order, at most 50.
// Solitary usage and suffix mode need the buffer to be exactly prefix + Trigword; otherwise
// the buffer must end with it.
std::vector<int> FindMatches(const TypedBuffer& buffer, const TrigwordOptions& options,
                             const std::vector<TrigwordCandidate>& candidates);

// How many Backspaces erase what was typed for a Trigword: the Trigword plus the prefix in
// prefix mode, plus the space or Enter in suffix mode.
int EraseCount(const TrigwordOptions& options, const std::string& trigword);

// What the engine needs from the main window.
class TrigwordHost {
 public:
  virtual ~TrigwordHost() = default;
  virtual bool ReadMacro(int n, store::MacroRecord& record) = 0;
  virtual bool PopupMenuDisplayed() = 0;
  virtual bool CaptureInProgress() = 0;
  virtual bool MacroPaused() = 0;
  // Makes n the current macro with the record as its playback record.
  virtual void BeginTrigwordMacro(int n, const store::MacroRecord& record) = 0;
  // Plays the record's text from the start (the player's reset included); caps_lock says
  // whether Caps Lock was reported on.
  virtual void PlayTrigwordMacro(const store::MacroRecord& record, bool caps_lock) = 0;
};

inline constexpr char kPopupDisplayed[] =
    "A current Popup Menu macro is being displayed. Another macro cannot be executed until "
    "either a choice is made from the Popup Menu or it is cancelled.";
inline constexpr char kCaptureRunning[] =
    "A macro is currently being recorded. Another macro cannot be executed until the recording "
    "is completed.";
inline constexpr char kMacroPaused[] =
    "A current playback macro is in the middle of a PAUSE. Another macro cannot be executed "
    "until the PAUSE is either cancelled or resumed.";

class TrigwordEngine {
 public:
  TrigwordEngine(platform::Platform& platform, store::SharedIndex& index, HookLibrary& hooks,
                 const startup::SettingsRecord& settings, TrigwordHost& host);

  // WM_USER+6: wparam the typing state, the character in the low byte of lparam.
  void OnTypedChar(uint32_t wparam, int64_t lparam);
  // Runs the matches of the buffer; true when a macro played.
  bool TestIt(const TypedBuffer& buffer);
  void PlayTrigwordMacro(int n);

  const TypedBuffer& buffer() const { return buffer_; }
  bool caps_lock() const { return caps_lock_; }
  uint32_t last_typing_state() const { return last_wparam_; }

 private:
  std::vector<TrigwordCandidate> Candidates() const;
  size_t Capacity(const TrigwordOptions& options) const;
  void Wait(int ms);

  platform::Platform& platform_;
  store::SharedIndex& index_;
  HookLibrary& hooks_;
  const startup::SettingsRecord& settings_;
  TrigwordHost& host_;
  TypedBuffer buffer_;
  uint32_t last_wparam_ = 0;
  bool caps_lock_ = false;
  bool running_ = false;
};

}  // namespace quillomat::activation
