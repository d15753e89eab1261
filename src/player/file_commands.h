#pragma once

#include <optional>
#include <string>

namespace quillomat::player {

// The file work of a macro: the file commands (their results are ignored) and reading the
// files that "<TFILE:" plays and "<CLIPF:" copies.
class FileCommands {
 public:
  virtual ~FileCommands() = default;
  virtual void ChangeDir(const std::string& path) = 0;
  virtual void DeleteFile(const std::string& path) = 0;
  virtual void CopyFile(const std::string& from, const std::string& to) = 0;  // overwrites
  virtual void RenameFile(const std::string& from, const std::string& to) = 0;
  // The whole file as bytes; nothing when it cannot be opened or is not a regular file.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
};

// On the real file system.
class DiskFileCommands : public FileCommands {
 public:
  void ChangeDir(const std::string& path) override;
  void DeleteFile(const std::string& path) override;
  void CopyFile(const std::string& from, const std::string& to) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
};

}  // namespace quillomat::player
