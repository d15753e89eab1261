#include "player/file_commands.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quillomat::player {

namespace fs = std::filesystem;

void DiskFileCommands::ChangeDir(const std::string& path) {
  std::error_code error;
  fs::current_path(path, error);
}

void DiskFileCommands::DeleteFile(const std::string& path) {
  std::error_code error;
  // Only files: a folder named by mistake is left alone.
  if (fs::is_directory(fs::symlink_status(path, error))) return;
  fs::remove(path, error);
}

void DiskFileCommands::CopyFile(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

void DiskFileCommands::RenameFile(const std::string& from, const std::string& to) {
  std::error_code error;
  // A move never replaces an existing file.
  if (fs::exists(fs::symlink_status(to, error))) return;
  fs::rename(from, to, error);
  if (error == std::errc::cross_device_link && fs::copy_file(from, to, error)) {
    fs::remove(from, error);
  }
}

std::optional<std::string> DiskFileCommands::ReadFile(const std::string& path) {
  std::error_code error;
  // A device or a pipe could be read without end.
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace quillomat::player
