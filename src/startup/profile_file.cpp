#include "startup/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/durable_file.h"

namespace quillomat::startup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// cp1252 lower case: ASCII, the Latin-1 letters and the four letters of the 0x80 block.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
      return c + 0x10;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The value as a reader sees it: one pair of matching quotes around it dropped.
std::string_view Unquote(std::string_view value) {
  if (value.size() > 1 && IsQuote(value.front()) && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The text to write for a value, so that reading it gives the value back.
std::string Encode(std::string_view value) {
  const bool needs_quotes =
      !value.empty() &&
      (IsBlank(value.front()) || IsBlank(value.back()) ||
       (value.size() > 1 && IsQuote(value.front()) && value.back() == value.front()));
  if (!needs_quotes) return std::string(value);
  std::string out;
  out.reserve(value.size() + 2);
  out += '"';
  out += value;
  out += '"';
  return out;
}

}  // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

ProfileFile::ReadStatus ProfileFile::Read(const std::string& path) {
  lines_.clear();
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return ReadStatus::kMissing;
  if (ec || std::filesystem::is_directory(status)) return ReadStatus::kUnreadable;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ReadStatus::kUnreadable;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return ReadStatus::kUnreadable;
  Parse(text);
  return ReadStatus::kRead;
}

void ProfileFile::Parse(std::string_view text) {
  lines_.clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    Line line;
    line.raw = std::string(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n' && (end == pos || text[pos - 1] == '\r')) ++pos;

    std::string_view body = Trim(line.raw);
    // A byte-order mark left by an editor must not hide the first section.
    if (lines_.empty() && body.substr(0, 3) == "\xEF\xBB\xBF") body = Trim(body.substr(3));
    if (!body.empty() && body.front() == '[') {
      const std::size_t close = body.find(']');
      line.kind = Kind::kSection;
      line.name = std::string(Trim(
          body.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
    } else if (!body.empty() && body.front() != ';') {
      const std::size_t eq = body.find('=');
      if (eq != std::string_view::npos && !Trim(body.substr(0, eq)).empty()) {
        line.kind = Kind::kKey;
        line.name = std::string(Trim(body.substr(0, eq)));
        line.value = std::string(Trim(body.substr(eq + 1)));
      }
    }
    lines_.push_back(std::move(line));
  }
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::kSection && ProfileNamesEqual(lines_[i].name, section)) return i;
  }
  return lines_.size();
}

std::size_t ProfileFile::FindKey(std::size_t header, std::string_view key) const {
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::kSection; ++i) {
    if (lines_[i].kind == Kind::kKey && ProfileNamesEqual(lines_[i].name, key)) return i;
  }
  return lines_.size();
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key,
                                            std::size_t max_chars) const {
  const std::size_t header = FindSection(section);
  if (header == lines_.size()) return std::nullopt;
  const std::size_t at = FindKey(header, key);
  if (at == lines_.size()) return std::nullopt;
  return std::string(Unquote(lines_[at].value).substr(0, max_chars));
}

std::string ProfileFile::Get(std::string_view section, std::string_view key,
                             std::string_view default_value, std::size_t max_chars) const {
  auto value = Get(section, key, max_chars);
  return value ? *value : std::string(Unquote(Trim(default_value)).substr(0, max_chars));
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  Line line;
  line.kind = Kind::kKey;
  line.name = std::string(key);
  line.value = Encode(value);

  const std::size_t header = FindSection(section);
  if (header == lines_.size()) {
    if (!lines_.empty() && !Trim(lines_.back().raw).empty()) lines_.push_back(Line{});
    Line head;
    head.kind = Kind::kSection;
    head.name = std::string(section);
    head.raw = "[" + head.name + "]";
    lines_.push_back(std::move(head));
    line.raw = line.name + "=" + line.value;
    lines_.push_back(std::move(line));
    return;
  }
  const std::size_t at = FindKey(header, key);
  if (at != lines_.size()) {
    Line& old = lines_[at];  // keeps the spelling of the name it already has
    old.value = line.value;
    old.raw = old.name + "=" + old.value;
    return;
  }
  std::size_t insert_at = header + 1;
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::kSection; ++i) {
    if (lines_[i].kind == Kind::kKey) insert_at = i + 1;
  }
  line.raw = line.name + "=" + line.value;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), std::move(line));
}

std::string ProfileFile::Text() const {
  std::string out;
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.raw.size() + 2;
  out.reserve(size);
  for (const Line& line : lines_) {
    out += line.raw;
    out += "\r\n";
  }
  return out;
}

bool ProfileFile::Write(const std::string& path) const {
  namespace fs = std::filesystem;
  if (path.empty()) return false;
  // A link (a managed dotfile) is written through: its target gets the new content.
  const fs::path target(platform::ReplacementTarget(path));
  const fs::path folder = target.parent_path();
  std::error_code ec;
  if (!folder.empty() && !fs::exists(folder, ec)) {
    fs::create_directories(folder, ec);
    if (ec) return false;
  }
  const std::string text = Text();
  return platform::ReplaceFileAtomically(
      target.string(), [&](int fd) { return platform::WriteAll(fd, text.data(), text.size()); });
}

}  // namespace quillomat::startup
