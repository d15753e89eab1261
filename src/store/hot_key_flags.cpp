#include "store/hot_key_flags.h"

#include <algorithm>
#include <cstring>

#include "store/hotkey_catalogue.h"

namespace quillomat::store {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

void SetHotKeys(SharedIndex& index, activation::HookLibrary& hooks) {
  std::memset(index.hot_key_in_use, 0, sizeof index.hot_key_in_use);
  const int count = std::clamp(index.Count(), 0, kMaxMacros);
  bool trigwords = false;
  for (int n = 1; n <= count; ++n) {
    const uint16_t activation = index.Activation(n);
    if (activation == kTrigwordMacro) trigwords = true;
    // Timed and Trigword macros have no hot key; any other value outside the catalogue is
    // damage and must not write past the flags.
    if (activation < kCatalogueSize && index.Active(n)) index.hot_key_in_use[activation] = 1;
  }
  hooks.QlxUpKeys(index);
  index.trigwords_present = trigwords ? 1 : 0;
  hooks.QlxUpShort(index);
}

void UpNumKeys(const SharedIndex& index, activation::HookLibrary& hooks) {
  hooks.QlxUpNumKeys(index);
}

void UpCapture(const SharedIndex& index, activation::HookLibrary& hooks) {
  hooks.QlxUpCapture(index);
}

void UpCaptureOn(const SharedIndex& index, activation::HookLibrary& hooks) {
  hooks.QlxUpCaptureOn(index);
}

void SetSecWind(SharedIndex& index, activation::HookLibrary& hooks, uint32_t window, bool flag) {
  index.second_window.Set(window);
  index.second_window_flag = flag ? 1 : 0;
  hooks.QlxUpWindow2(index);
}

void SetRunningPrograms(SharedIndex& index, activation::HookLibrary& hooks,
                        const std::string& top_program,
                        const std::vector<std::string>& running_programs) {
  index.top_program.Set(Upper(top_program));
  hooks.QlxUpProg(index);
  const size_t listed = std::min<size_t>(running_programs.size(), kMaxRunningPrograms);
  for (size_t k = 0; k < kMaxRunningPrograms; ++k) {
    index.running_programs[k].Set(k < listed ? Upper(running_programs[k]) : "");
  }
  index.running_program_count.Set(static_cast<uint32_t>(listed));
  hooks.QlxUpProgs(index);
}

}  // namespace quillomat::store
