#pragma once

#include <string>

namespace quillomat::platform {

bool FileExists(const std::string& path);
// The name written into macro text for an existing file: the path itself; empty when the
// file does not exist.
std::string ShortPath(const std::string& path);
// The absolute form of a path, without touching the file.
std::string FullPath(const std::string& path);
// The part after the last "/" or "\".
std::string FileNamePart(const std::string& path);

}  // namespace quillomat::platform
