#pragma once

// Reading a macro file without changing it.

#include <cstddef>
#include <cstdint>
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

}  // namespace quillomat::store
