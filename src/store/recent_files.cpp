#include "store/recent_files.h"

#include <algorithm>

namespace quillomat::store {

namespace {

// Removes the first entry equal to name; the entries below move up and the last becomes empty.
void Remove(RecentFiles& files, const std::string& name) {
  auto it = std::find(files.begin(), files.end(), name);
  if (it == files.end()) return;
  std::move(it + 1, files.end(), it);
  files.back().clear();
}

}  // namespace

void DoLastFiles(RecentFiles& files, const std::string& previous, const std::string& new_file) {
  if (!new_file.empty()) Remove(files, new_file);
  if (previous.empty()) return;
  Remove(files, previous);
  std::move_backward(files.begin(), files.end() - 1, files.end());
  files.front() = previous;
}

}  // namespace quillomat::store
