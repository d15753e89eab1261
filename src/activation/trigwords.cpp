#include "activation/trigwords.h"

#include <algorithm>
#include <cstring>

namespace quillomat::activation {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool IsTrigwordChar(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c != 0 && std::strchr("!#$%&*+,-./;<=>?@^_", c) != nullptr;
}

TrigwordOptions TrigwordOptions::From(const startup::SettingsRecord& s) {
  return {s.solitary_usage, s.case_sensitive, s.use_suffix, s.prefix_keys};
}

TypeStep Type(TypedBuffer& buffer, const TrigwordOptions& options, size_t capacity, char c) {
  TypeStep step;
  if (IsTrigwordChar(c)) {
    buffer.typed += c;
    if (buffer.typed.size() > capacity) {
      buffer.typed.erase(0, buffer.typed.size() - capacity);
      buffer.cut = true;
    }
    if (!options.use_suffix && !buffer.typed.empty()) {
      step.test = true;
      step.tested = buffer;
    }
    return step;
  }
  if (c == kBackspace) {
    if (buffer.typed.empty()) {
      buffer.cut = true;  // it erased something typed before this word began
    } else {
      buffer.typed.pop_back();
    }
    return step;
  }
  if (options.use_suffix && (c == ' ' || c == kEnter) && !buffer.typed.empty()) {
    step.test = true;
    step.tested = buffer;
  }
  buffer = {};
  return step;
}

std::vector<int> FindMatches(const TypedBuffer& buffer, const TrigwordOptions& options,
                             const std::vector<TrigwordCandidate>& candidates) {
  std::vector<int> matches;
  const std::string prefix = options.Prefix();
  std::string typed = buffer.typed;
  if (!options.case_sensitive) typed = Upper(typed);
  const std::string folded_prefix = options.case_sensitive ? prefix : Upper(prefix);
  if (!folded_prefix.empty() && typed.find(folded_prefix) == std::string::npos) return matches;
  const bool exact = options.solitary || options.use_suffix;
  for (const auto& c : candidates) {
    if (c.trigword.empty()) continue;
    std::string candidate = prefix + c.trigword;
    if (!options.case_sensitive) candidate = Upper(candidate);
    const bool hit = exact ? (!buffer.cut && typed == candidate) : EndsWith(typed, candidate);
    if (!hit) continue;
    matches.push_back(c.macro_number);
    if (matches.size() == kMaxMatches) break;
  }
  return matches;
}

int EraseCount(const TrigwordOptions& options, const std::string& trigword) {
  const int before = options.use_suffix ? 1 : static_cast<int>(options.Prefix().size());
  return before + static_cast<int>(trigword.size());
}

TrigwordEngine::TrigwordEngine(platform::Platform& platform, store::SharedIndex& index,
                               HookLibrary& hooks, const startup::SettingsRecord& settings,
                               TrigwordHost& host)
    : platform_(platform), index_(index), hooks_(hooks), settings_(settings), host_(host) {}

std::vector<TrigwordCandidate> TrigwordEngine::Candidates() const {
  std::vector<TrigwordCandidate> out;
  for (int n = 1; n <= index_.Count() && n <= store::kMaxMacros; ++n) {
    if (!index_.Active(n) || index_.Activation(n) != store::kTrigwordMacro) continue;
    if (settings_.trigwords[n].empty()) continue;
    out.push_back({n, settings_.trigwords[n]});
  }
  return out;
}

size_t TrigwordEngine::Capacity(const TrigwordOptions& options) const {
  size_t longest = 0;
  for (const auto& c : Candidates()) longest = std::max(longest, c.trigword.size());
  return longest == 0 ? 0 : options.Prefix().size() + longest;
}

void TrigwordEngine::OnTypedChar(uint32_t wparam, int64_t lparam) {
  if (index_.Count() == 0 || index_.trigwords_present == 0) return;
  // The Backspaces and the macro's own keys come back while it plays; the buffer is emptied
  // when it ends.
  if (running_) return;
  last_wparam_ = wparam;
  if (wparam == kTypingReset) {
    buffer_ = {};
    return;
  }
  caps_lock_ = wparam == kTypingCapsOn;
  const TrigwordOptions options = TrigwordOptions::From(settings_);
  const TypeStep step = Type(buffer_, options, Capacity(options), static_cast<char>(lparam & 0xFF));
  if (step.test) TestIt(step.tested);
}

bool TrigwordEngine::TestIt(const TypedBuffer& buffer) {
  const TrigwordOptions options = TrigwordOptions::From(settings_);
  const std::vector<int> matches = FindMatches(buffer, options, Candidates());
  if (matches.empty()) return false;
  const char* refusal = host_.PopupMenuDisplayed()  ? kPopupDisplayed
                        : host_.CaptureInProgress() ? kCaptureRunning
                        : host_.MacroPaused()       ? kMacroPaused
                                                    : nullptr;
  if (refusal) {
    platform_.message_boxes.Show(platform::kWarningTitle, refusal);
    return false;
  }
  const platform::WindowId foreground = platform_.windows.Foreground();
  std::string title, program;
  for (const auto& w : platform_.windows.TopLevel()) {
    if (w.id == foreground) {
      title = Upper(w.title);
      program = Upper(w.program);
      break;
    }
  }
  // A window-specific match for the window in front comes first, then a program-specific one,
  // then a global one.
  store::MacroRecord record;
  for (uint16_t scope : {store::kScopeWindow, store::kScopeProgram, store::kScopeGlobal}) {
    for (int n : matches) {
      if (index_.Scope(n) != scope) continue;
      if (scope != store::kScopeGlobal) {
        if (foreground == platform::kNoWindow || !host_.ReadMacro(n, record)) continue;
        const std::string name = Upper(record.scope_name.Get());
        const std::string& against = scope == store::kScopeWindow ? title : program;
        if (against.find(name) == std::string::npos) continue;
      }
      PlayTrigwordMacro(n);
      return true;
    }
  }
  return false;
}

void TrigwordEngine::PlayTrigwordMacro(int n) {
  store::MacroRecord record;
  if (!host_.ReadMacro(n, record)) return;
  running_ = true;
  host_.BeginTrigwordMacro(n, record);
  index_.playing = 1;
  hooks_.QlxUpInUse(index_);
  const int erase = EraseCount(TrigwordOptions::From(settings_), record.trigword.Get());
  for (int i = 0; i < erase; ++i) {
    platform_.input.KeyEvent(static_cast<uint8_t>(kBackspace), false);
    platform_.input.KeyEvent(static_cast<uint8_t>(kBackspace), true);
    platform_.event_loop.PumpOnce(0);
  }
  Wait(100);
  host_.PlayTrigwordMacro(record, caps_lock_);
  platform_.input.KeyEvent(kEndOfPlaybackKey, false);
  platform_.input.KeyEvent(kEndOfPlaybackKey, true);
  index_.playing = 0;  // the library clears its copy on the key above
  buffer_ = {};
  running_ = false;
}

void TrigwordEngine::Wait(int ms) {
  const uint32_t start = platform_.event_loop.TickCount();
  for (;;) {
    const uint32_t elapsed = platform_.event_loop.TickCount() - start;
    if (elapsed >= static_cast<uint32_t>(ms)) return;
    platform_.event_loop.PumpOnce(static_cast<int>(ms - elapsed));
  }
}

}  // namespace quillomat::activation
