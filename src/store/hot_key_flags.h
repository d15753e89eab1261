#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "activation/hook_library.h"
#include "store/shared_index.h"

namespace quillomat::store {

// Rebuilds the 720 hot-key in-use flags from the loaded macros (a flag is set when at least
// one active macro has that hot key) and the Trigwords-present flag (set when any macro,
// active or not, is a Trigword macro), and publishes both.
void SetHotKeys(SharedIndex& index, activation::HookLibrary& hooks);

// Thin wrappers that publish the macro count, the capture options and stop keys, and the
// capture-in-progress flag as they stand in the working copy.
void UpNumKeys(const SharedIndex& index, activation::HookLibrary& hooks);
void UpCapture(const SharedIndex& index, activation::HookLibrary& hooks);
void UpCaptureOn(const SharedIndex& index, activation::HookLibrary& hooks);

// Registers the window that receives hot keys while its hot-key field has the focus (flag
// true) and publishes it.
void SetSecWind(SharedIndex& index, activation::HookLibrary& hooks, uint32_t window, bool flag);

// Stores the program of the foreground window (upper case, at most 250 characters) and the
// running programs (the first 200, upper case, each at most 25 characters), and publishes
// both.
void SetRunningPrograms(SharedIndex& index, activation::HookLibrary& hooks,
                        const std::string& top_program,
                        const std::vector<std::string>& running_programs);

}  // namespace quillomat::store
