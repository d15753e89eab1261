#include "platform/files.h"

#include <filesystem>
#include <system_error>

namespace quillomat::platform {

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string ShortPath(const std::string& path) { return FileExists(path) ? path : std::string(); }

std::string FullPath(const std::string& path) {
  std::error_code ec;
  auto full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

std::string FileNamePart(const std::string& path) {
  const auto cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace quillomat::platform
