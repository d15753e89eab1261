#pragma once

// The text form of macro records that "qlx dump" writes and "qlx load" reads: one
// "key = value" line per field, strings quoted with escapes so that any byte survives.

#include <string>
#include <string_view>
#include <vector>

#include "store/macro_record.h"

namespace quillomat::cli {

inline constexpr std::string_view kDumpFormatLine = "qlx-dump 1";

// Quotes bytes: \\ \" \r \n \t, other bytes outside 0x20..0x7E as \xHH.
std::string QuoteBytes(std::string_view bytes);

// Every significant byte of every record: the values of the strings (not the bytes after
// them), the macro text up to its NUL or a Popup Menu's items, every number and the reserved
// bytes.
std::string DumpRecords(const std::vector<store::MacroRecord>& records, std::string_view source);

struct ParsedDump {
  std::vector<store::MacroRecord> records;
  int error_line = 0;  // 0 when the text was read without fault
  std::string error;
};
// Reads the text form back into records; everything not written by a field is zero.
ParsedDump ParseDump(std::string_view text);

// A field for a terminal: cp1252 as UTF-8, control characters escaped as in QuoteBytes.
std::string DisplayText(std::string_view cp1252);

}  // namespace quillomat::cli
