#pragma once

// Reading a macro file without changing it, and the careful writes the macro file needs:
// a positioned write of whole records, and a whole-file replacement that is atomic.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "store/macro_record.h"

namespace quillomat::store {

enum class ReadStatus {
  kOk,
  kMissing,     // no file by that name
  kUnreadable,  // it exists but cannot be read: permissions, not a regular file, I/O error
};

struct MacroFileContents {
  ReadStatus status = ReadStatus::kOk;
  std::string error;                 // why, for kMissing and kUnreadable (no trailing period)
  std::vector<MacroRecord> records;  // the first complete records, at most max_records
  int64_t records_in_file = 0;       // complete records in the file
  int64_t trailing_bytes = 0;        // bytes of an incomplete record at the end (0..5164)
};

// Reads the records of a macro file. Never creates or changes anything; memory is bounded by
// max_records, not by the size of the file.
MacroFileContents ReadMacroFileRecords(const std::string& path,
                                       size_t max_records = std::numeric_limits<size_t>::max());

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

}  // namespace quillomat::store
