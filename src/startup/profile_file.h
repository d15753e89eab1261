#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillomat::startup {

// A private profile (INI) file as Windows programs read and write them, held as its lines so
// that whatever this program does not know (other keys, comments, odd lines) is written back
// where it was.
//
// Reading: section and key names compare without regard to case; only the first section of a
// name is searched and the first key of a name in it wins; blanks around names and values are
// dropped, then one pair of matching double or single quotes around a value; lines end in LF,
// CRLF or a lone CR. Writing: a value replaces the first occurrence of its key, or is added
// after the last key of its section, or goes into a new section at the end; lines end in CRLF.
// Text is 8-bit (cp1252) as stored.
class ProfileFile {
 public:
  enum class ReadStatus { kRead, kMissing, kUnreadable };

  // Replaces the contents with the file's; a missing or unreadable file leaves it empty.
  ReadStatus Read(const std::string& path);
  // Replaces the contents with the given text.
  void Parse(std::string_view text);

  // The value of a key cut to max_chars characters (the read buffer), or nothing when the key
  // is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key,
                                 std::size_t max_chars) const;
  std::string Get(std::string_view section, std::string_view key, std::string_view default_value,
                  std::size_t max_chars) const;

  // Sets a key. A value is one line: it ends at its first line break. A value that would lose
  // its surrounding blanks or quotes on reading is written in double quotes, so it reads back
  // as set.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole file as it is written, CRLF line ends.
  std::string Text() const;
  // Writes the file atomically: a temporary file beside it, flushed to disk, renamed over it.
  // The folder is created when missing; a symbolic link is written through. False on failure,
  // with the old file untouched.
  bool Write(const std::string& path) const;

 private:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    Kind kind = Kind::kOther;
    std::string raw;    // the line as read (or as rebuilt after a Set), without its line end
    std::string name;   // section or key name, blanks removed
    std::string value;  // key value, blanks removed, quotes still on
  };

  // Index of the first section header of that name, or lines_.size().
  std::size_t FindSection(std::string_view section) const;
  // Index of the first key of that name in the section starting at header, or lines_.size().
  std::size_t FindKey(std::size_t header, std::string_view key) const;

  std::vector<Line> lines_;
};

// Compares two names as profile files do: without regard to case (cp1252 letters).
bool ProfileNamesEqual(std::string_view a, std::string_view b);

}  // namespace quillomat::startup
