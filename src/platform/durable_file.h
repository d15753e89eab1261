#pragma once

// Writes that a crash cannot leave half done: whole-file replacement through a temporary file,
// and reads and writes that retry until every byte has moved.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace quillomat::platform {

// A file descriptor that is closed when it goes out of scope.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded (a late write error shows here).
  bool Close();

 private:
  int fd_;
};

// The path that a replacement must be renamed onto: a symbolic link is followed so that the
// link stays and its target gets the new content. A missing file is its own target.
std::string ReplacementTarget(const std::string& path);

// Replaces the file at path by the content that fill writes to the file descriptor it gets:
// the content goes to a temporary file beside the target, is flushed to disk, renamed over
// the target and the directory is flushed, so a crash leaves either the old or the new file.
// The permission bits of an existing file are kept; a new file gets 0666 less the umask.
// fill returns false (with errno set) to give up; the target is then untouched.
bool ReplaceFileAtomically(const std::string& path, const std::function<bool(int fd)>& fill,
                           std::string* error = nullptr);

// Writes all of size bytes at offset, retrying short writes. False on any error.
bool WriteAllAt(int fd, const void* data, size_t size, int64_t offset);
// Writes all of size bytes at the current position. False on any error.
bool WriteAll(int fd, const void* data, size_t size);
// Reads exactly size bytes at offset. False on an error or an early end of file.
bool ReadAllAt(int fd, void* data, size_t size, int64_t offset);

}  // namespace quillomat::platform
