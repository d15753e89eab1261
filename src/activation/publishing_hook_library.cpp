#include "activation/publishing_hook_library.h"

#include <cstring>

namespace quillomat::activation {

using store::SharedIndex;

#define QL_RANGE(field) offsetof(SharedIndex, field), sizeof(SharedIndex::field)

void PublishingHookLibrary::Copy(const SharedIndex& block, size_t offset, size_t size) {
  std::memcpy(shared_ + offset, reinterpret_cast<const uint8_t*>(&block) + offset, size);
}

void PublishingHookLibrary::QlxUpInit(const SharedIndex& block) {
  Copy(block, 0, sizeof(SharedIndex));
}

void PublishingHookLibrary::QlxUpWindow(const SharedIndex& block) {
  Copy(block, QL_RANGE(main_window));
}

void PublishingHookLibrary::QlxUpWindow2(const SharedIndex& block) {
  Copy(block, QL_RANGE(second_window));
  Copy(block, QL_RANGE(second_window_flag));
}

void PublishingHookLibrary::QlxUpKeys(const SharedIndex& block) {
  Copy(block, QL_RANGE(hot_key_in_use));
}

void PublishingHookLibrary::QlxUpShort(const SharedIndex& block) {
  Copy(block, QL_RANGE(trigwords_present));
}

void PublishingHookLibrary::QlxUpNumKeys(const SharedIndex& block) { Copy(block, QL_RANGE(count)); }

void PublishingHookLibrary::QlxUpItem(const SharedIndex& block, int n) {
  if (n < 1 || n > store::kMaxMacros) return;
  const size_t i = static_cast<size_t>(n - 1);
  Copy(block, offsetof(SharedIndex, scopes) + 2 * i, 2);
  Copy(block, offsetof(SharedIndex, scope_names) + 21 * i, 21);
  Copy(block, offsetof(SharedIndex, actives) + i, 1);
  Copy(block, offsetof(SharedIndex, activations) + 2 * i, 2);
  Copy(block, offsetof(SharedIndex, top_most_onlys) + i, 1);
}

void PublishingHookLibrary::QlxUpProg(const SharedIndex& block) {
  Copy(block, QL_RANGE(top_program));
}

void PublishingHookLibrary::QlxUpProgs(const SharedIndex& block) {
  Copy(block, QL_RANGE(running_program_count));
  Copy(block, QL_RANGE(running_programs));
}

// The capture options and stop keys: everything from the capture macro number to the
// record-window-sizes copy, and the two flags at the end of the per-macro arrays.
void PublishingHookLibrary::QlxUpCapture(const SharedIndex& block) {
  Copy(block, offsetof(SharedIndex, capture_macro),
       offsetof(SharedIndex, mouse_hook) - offsetof(SharedIndex, capture_macro));
  Copy(block, offsetof(SharedIndex, stop_mouse_button),
       offsetof(SharedIndex, playing) - offsetof(SharedIndex, stop_mouse_button));
  Copy(block, offsetof(SharedIndex, capture_keys),
       offsetof(SharedIndex, scopes) - offsetof(SharedIndex, capture_keys));
  Copy(block, QL_RANGE(flag_14296));
  Copy(block, QL_RANGE(nt));
}

void PublishingHookLibrary::QlxUpCaptureOn(const SharedIndex& block) {
  Copy(block, QL_RANGE(capture_on));
}

void PublishingHookLibrary::QlxUpInUse(const SharedIndex& block) { Copy(block, QL_RANGE(playing)); }

void PublishingHookLibrary::QlxUpKeyHook(const SharedIndex& block) {
  Copy(block, QL_RANGE(keyboard_hook));
}

void PublishingHookLibrary::QlxUpMouseHook(const SharedIndex& block) {
  Copy(block, QL_RANGE(mouse_hook));
}

#undef QL_RANGE

}  // namespace quillomat::activation
