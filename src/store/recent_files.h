#pragma once

#include <array>
#include <string>

namespace quillomat::store {

inline constexpr int kRecentFileCount = 5;
using RecentFiles = std::array<std::string, kRecentFileCount>;

// Updates the recent-files list, most recent first, when new_file replaces previous as the
// current file: new_file leaves the list (the entries below it move up), then previous goes on
// top and the others move down, the last one dropping off. Names are compared exactly.
// Re-opening the current file therefore puts it on top. previous is never listed twice, and
// an empty previous (no file was open) adds nothing.
void DoLastFiles(RecentFiles& files, const std::string& previous, const std::string& new_file);

}  // namespace quillomat::store
