#include "cli/text_form.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>

#include "platform/escaped_text.h"

namespace quillomat::cli {

using store::MacroRecord;

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::string HexBytes(const uint8_t* bytes, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    if (i) out += ' ';
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 15];
  }
  return out;
}

std::string DecimalBytes(const uint8_t* bytes, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    if (i) out += ' ';
    out += std::to_string(bytes[i]);
  }
  return out;
}

// The shortest decimal form that reads back to the same double; the raw bits when there is
// none (NaN, infinities).
std::string DoubleText(const store::LeDouble& d) {
  const double v = d.Get();
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  std::string text(buf, end);
  double back = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), back);
  if (ec == std::errc() && parsed.ec == std::errc() && std::memcmp(&back, &v, sizeof v) == 0) {
    return text;
  }
  std::string bits = "bits 0x";
  for (int i = 7; i >= 0; --i) {
    bits += kHex[d.bytes[i] >> 4];
    bits += kHex[d.bytes[i] & 15];
  }
  return bits;
}

// The macro text, broken after each line break so that a diff shows changed lines.
std::string QuotedText(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    if (!out.empty()) out += "\n       ";
    out += QuoteBytes(std::string_view(text).substr(start, end - start));
    start = end;
  }
  return out.empty() ? "\"\"" : out;
}

bool IsPopupMenu(const MacroRecord& r) { return r.scope.Get() == store::kScopePopupMenu; }

// Field parsers: each returns an error text, empty when the value was taken.
std::optional<uint64_t> ParseUnsigned(std::string_view v) {
  uint64_t n = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || end != v.data() + v.size() || v.empty()) return std::nullopt;
  return n;
}

std::vector<std::string_view> Words(std::string_view v) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < v.size()) {
    while (i < v.size() && v[i] == ' ') ++i;
    size_t j = i;
    while (j < v.size() && v[j] != ' ') ++j;
    if (j > i) words.push_back(v.substr(i, j - i));
    i = j;
  }
  return words;
}

std::string ParseNumber(std::string_view v, uint32_t max, uint32_t* out) {
  const auto n = ParseUnsigned(v);
  if (!n || *n > max) return "expected a whole number from 0 to " + std::to_string(max);
  *out = static_cast<uint32_t>(*n);
  return {};
}

std::string ParseHexBytes(std::string_view v, uint8_t* out, size_t n) {
  const auto words = Words(v);
  const std::string want = "expected " + std::to_string(n) + " hexadecimal bytes (such as 0A)";
  if (words.size() != n) return want;
  for (size_t i = 0; i < n; ++i) {
    if (words[i].size() != 2) return want;
    unsigned b = 0;
    auto [end, ec] = std::from_chars(words[i].data(), words[i].data() + 2, b, 16);
    if (ec != std::errc() || end != words[i].data() + 2) return want;
    out[i] = static_cast<uint8_t>(b);
  }
  return {};
}

std::string ParseDecimalBytes(std::string_view v, uint8_t* out, size_t n) {
  const auto words = Words(v);
  const std::string want = "expected " + std::to_string(n) + " numbers from 0 to 255";
  if (words.size() != n) return want;
  for (size_t i = 0; i < n; ++i) {
    const auto b = ParseUnsigned(words[i]);
    if (!b || *b > 255) return want;
    out[i] = static_cast<uint8_t>(*b);
  }
  return {};
}

std::string ParseDouble(std::string_view v, store::LeDouble* out) {
  if (v.starts_with("bits 0x")) {
    const std::string_view hex = v.substr(7);
    uint64_t bits = 0;
    auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), bits, 16);
    if (hex.size() != 16 || ec != std::errc() || end != hex.data() + hex.size()) {
      return "expected 16 hexadecimal digits after \"bits 0x\"";
    }
    for (int i = 0; i < 8; ++i) out->bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    return {};
  }
  double d = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size()) {
    return "expected a number of days (such as 46095.5) or \"bits 0x\" and 16 hex digits";
  }
  out->Set(d);
  return {};
}

// Reads one quoted string; appends its bytes to out.
std::string Unquote(std::string_view v, std::string* out) {
  if (v.size() < 2 || v.front() != '"' || v.back() != '"') return "expected a quoted string";
  for (size_t i = 1; i + 1 < v.size(); ++i) {
    const char c = v[i];
    if (c == '"') return "a quote inside a string must be written \\\"";
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (i + 2 >= v.size()) return "a string ends in a lone backslash";
    const char e = v[++i];
    switch (e) {
      case '\\':
      case '"':
        out->push_back(e);
        break;
      case 'r':
        out->push_back('\r');
        break;
      case 'n':
        out->push_back('\n');
        break;
      case 't':
        out->push_back('\t');
        break;
      case 'x': {
        unsigned b = 0;
        const char* p = v.data() + i + 1;
        auto [end, ec] = i + 3 < v.size() ? std::from_chars(p, p + 2, b, 16)
                                          : std::from_chars_result{p, std::errc::invalid_argument};
        if (ec != std::errc() || end != p + 2) return "\\x must be followed by two hex digits";
        out->push_back(static_cast<char>(b));
        i += 2;
        break;
      }
      default:
        return std::string("unknown escape \\") + e;
    }
  }
  return {};
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

struct Entry {
  int line = 0;
  std::string value;  // a string field's bytes, or the trimmed text of any other value
};

bool IsStringField(std::string_view key) {
  return key == "nickname" || key == "scope_name" || key == "trigword" || key == "text" ||
         key == "icon_name";
}

constexpr const char* kFields[] = {"nickname",
                                   "scope_name",
                                   "trigword",
                                   "activation",
                                   "scope",
                                   "active",
                                   "reserved1",
                                   "text",
                                   "items",
                                   "icon_name",
                                   "schedule_kind",
                                   "day_flags",
                                   "hour",
                                   "minute",
                                   "month",
                                   "day_of_month",
                                   "minute_past_hour",
                                   "interval",
                                   "day_of_week",
                                   "year",
                                   "pm",
                                   "top_most_only",
                                   "last_modified",
                                   "reserved2"};

bool IsField(std::string_view key) {
  for (const char* f : kFields) {
    if (key == f) return true;
  }
  return false;
}

template <int kCapacity>
std::string SetString(const Entry& e, store::PString<kCapacity>* field) {
  if (e.value.size() > kCapacity) {
    return "at most " + std::to_string(kCapacity) + " characters, not " +
           std::to_string(e.value.size());
  }
  field->Set(e.value);
  return {};
}

// Builds one record from its fields; on a fault sets *line to the field's line.
std::string BuildRecord(const std::map<std::string, Entry>& fields, int header_line, MacroRecord* r,
                        int* line) {
  *line = header_line;
  uint32_t scope = 0;
  if (auto it = fields.find("scope"); it != fields.end()) {
    *line = it->second.line;
    if (auto err = ParseNumber(it->second.value, 65535, &scope); !err.empty()) return err;
  }
  const bool menu = scope == store::kScopePopupMenu;
  for (const char* key : kFields) {
    const std::string k = key;
    if (k == (menu ? "text" : "items")) {
      if (auto it = fields.find(k); it != fields.end()) {
        *line = it->second.line;
        return menu ? "a Popup Menu macro (scope 4) has items, not text"
                    : "only a Popup Menu macro (scope 4) has items";
      }
      continue;
    }
    auto it = fields.find(k);
    if (it == fields.end()) {
      *line = header_line;
      return "the record has no " + k + " field";
    }
    const Entry& e = it->second;
    *line = e.line;
    std::string err;
    uint32_t n = 0;
    auto number = [&](uint32_t max, auto set) {
      err = ParseNumber(e.value, max, &n);
      if (err.empty()) set(n);
    };
    if (k == "nickname") err = SetString(e, &r->nickname);
    if (k == "scope_name") err = SetString(e, &r->scope_name);
    if (k == "trigword") err = SetString(e, &r->trigword);
    if (k == "icon_name") err = SetString(e, &r->icon_name);
    if (k == "text") {
      if (e.value.size() > store::kMaxMacroText) {
        err = "the macro text has " + std::to_string(e.value.size()) + " characters; at most " +
              std::to_string(store::kMaxMacroText);
      } else if (e.value.find('\0') != std::string::npos) {
        err = "the macro text cannot hold a NUL byte (\\x00)";
      } else {
        r->SetText(e.value);
      }
    }
    if (k == "items") {
      const auto words = Words(e.value);
      std::vector<uint16_t> items;
      for (auto w : words) {
        const auto v = ParseUnsigned(w);
        if (!v || *v > 65535) {
          err = "expected macro numbers from 0 to 65535";
          break;
        }
        items.push_back(static_cast<uint16_t>(*v));
      }
      if (err.empty() && items.size() > (sizeof r->macro_text - 2) / 2) {
        err = "at most " + std::to_string((sizeof r->macro_text - 2) / 2) + " items";
      }
      if (err.empty()) r->SetMenuItems(items);
    }
    if (k == "activation") number(65535, [&](uint32_t v) { r->activation.Set(v); });
    if (k == "scope") r->scope.Set(scope);
    if (k == "active") number(255, [&](uint32_t v) { r->active = static_cast<uint8_t>(v); });
    if (k == "reserved1") err = ParseHexBytes(e.value, r->reserved1, sizeof r->reserved1);
    if (k == "schedule_kind") number(65535, [&](uint32_t v) { r->schedule_kind.Set(v); });
    if (k == "day_flags") err = ParseDecimalBytes(e.value, r->day_flags, sizeof r->day_flags);
    if (k == "hour") number(255, [&](uint32_t v) { r->hour = static_cast<uint8_t>(v); });
    if (k == "minute") number(255, [&](uint32_t v) { r->minute = static_cast<uint8_t>(v); });
    if (k == "month") number(255, [&](uint32_t v) { r->month = static_cast<uint8_t>(v); });
    if (k == "day_of_month") {
      number(255, [&](uint32_t v) { r->day_of_month = static_cast<uint8_t>(v); });
    }
    if (k == "minute_past_hour") {
      number(255, [&](uint32_t v) { r->minute_past_hour = static_cast<uint8_t>(v); });
    }
    if (k == "interval") number(65535, [&](uint32_t v) { r->interval.Set(v); });
    if (k == "day_of_week") {
      number(255, [&](uint32_t v) { r->day_of_week = static_cast<uint8_t>(v); });
    }
    if (k == "year") number(65535, [&](uint32_t v) { r->year.Set(v); });
    if (k == "pm") number(255, [&](uint32_t v) { r->pm = static_cast<uint8_t>(v); });
    if (k == "top_most_only") {
      number(255, [&](uint32_t v) { r->top_most_only = static_cast<uint8_t>(v); });
    }
    if (k == "last_modified") err = ParseDouble(e.value, &r->last_modified);
    if (k == "reserved2") err = ParseHexBytes(e.value, r->reserved2, sizeof r->reserved2);
    if (!err.empty()) return k + ": " + err;
  }
  return {};
}

}  // namespace

std::string QuoteBytes(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : platform::EscapeBytes(bytes)) {
    if (c == '"') {
      out += "\\\"";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string DumpRecords(const std::vector<MacroRecord>& records, std::string_view source) {
  std::string out = "# qlx dump of " + DisplayText(source) + ": " + std::to_string(records.size()) +
                    " records\n" + std::string(kDumpFormatLine) + "\n";
  int n = 0;
  for (const MacroRecord& r : records) {
    auto line = [&](const char* key, const std::string& value) {
      out += key;
      out += " = ";
      out += value;
      out += '\n';
    };
    out += "\n[record " + std::to_string(++n) + "]\n";
    line("nickname", QuoteBytes(r.nickname.Get()));
    line("scope_name", QuoteBytes(r.scope_name.Get()));
    line("trigword", QuoteBytes(r.trigword.Get()));
    line("activation", std::to_string(r.activation.Get()));
    line("scope", std::to_string(r.scope.Get()));
    line("active", std::to_string(r.active));
    line("reserved1", HexBytes(r.reserved1, sizeof r.reserved1));
    if (IsPopupMenu(r)) {
      std::string items;
      for (uint16_t item : r.MenuItems())
        items += (items.empty() ? "" : " ") + std::to_string(item);
      out += items.empty() ? "items =\n" : "items = " + items + "\n";
    } else {
      line("text", QuotedText(r.Text()));
    }
    line("icon_name", QuoteBytes(r.icon_name.Get()));
    line("schedule_kind", std::to_string(r.schedule_kind.Get()));
    line("day_flags", DecimalBytes(r.day_flags, sizeof r.day_flags));
    line("hour", std::to_string(r.hour));
    line("minute", std::to_string(r.minute));
    line("month", std::to_string(r.month));
    line("day_of_month", std::to_string(r.day_of_month));
    line("minute_past_hour", std::to_string(r.minute_past_hour));
    line("interval", std::to_string(r.interval.Get()));
    line("day_of_week", std::to_string(r.day_of_week));
    line("year", std::to_string(r.year.Get()));
    line("pm", std::to_string(r.pm));
    line("top_most_only", std::to_string(r.top_most_only));
    line("last_modified", DoubleText(r.last_modified));
    line("reserved2", HexBytes(r.reserved2, sizeof r.reserved2));
  }
  return out;
}

ParsedDump ParseDump(std::string_view text) {
  ParsedDump result;
  auto fail = [&](int line, std::string error) {
    result.records.clear();
    result.error_line = line;
    result.error = std::move(error);
    return result;
  };

  bool seen_format = false;
  std::map<std::string, Entry> fields;
  int header_line = 0;
  std::string last_key;  // the field a continuation line adds to
  auto finish_record = [&]() -> std::string {
    if (header_line == 0) return {};
    MacroRecord record;
    int line = 0;
    std::string err = BuildRecord(fields, header_line, &record, &line);
    if (!err.empty()) {
      header_line = line;  // reported by the caller
      return err;
    }
    result.records.push_back(record);
    fields.clear();
    return {};
  };

  int line_number = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    ++line_number;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;

    if (!seen_format) {
      if (line != kDumpFormatLine) {
        return fail(line_number, "not a qlx dump (the first line must be \"" +
                                     std::string(kDumpFormatLine) + "\")");
      }
      seen_format = true;
      continue;
    }
    if (line.front() == '"' && raw.front() != '"') {  // an indented continuation
      if (last_key.empty() || !IsStringField(last_key)) {
        return fail(line_number, "a continued string follows no string field");
      }
      if (auto err = Unquote(line, &fields[last_key].value); !err.empty()) {
        return fail(line_number, err);
      }
      continue;
    }
    last_key.clear();
    if (line.front() == '[') {
      if (auto err = finish_record(); !err.empty()) return fail(header_line, err);
      const std::string expected = "[record " + std::to_string(result.records.size() + 1) + "]";
      if (line != expected) return fail(line_number, "expected " + expected);
      if (result.records.size() >= 100000) return fail(line_number, "too many records");
      header_line = line_number;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return fail(line_number, "expected \"field = value\"");
    const std::string key(Trim(line.substr(0, eq)));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (header_line == 0) return fail(line_number, "a field before the first [record 1]");
    if (!IsField(key)) return fail(line_number, "unknown field '" + key + "'");
    if (fields.count(key)) return fail(line_number, "a second " + key + " field in this record");
    Entry entry{line_number, {}};
    if (IsStringField(key)) {
      if (auto err = Unquote(value, &entry.value); !err.empty()) {
        return fail(line_number, key + ": " + err);
      }
      last_key = key;
    } else {
      entry.value = std::string(value);
    }
    fields.emplace(key, std::move(entry));
  }
  if (!seen_format) return fail(line_number, "not a qlx dump (it holds no \"qlx-dump 1\" line)");
  if (auto err = finish_record(); !err.empty()) return fail(header_line, err);
  return result;
}

std::string DisplayText(std::string_view cp1252) {
  // cp1252 0x80..0x9F; 0 where the code page has no character.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  for (unsigned char c : cp1252) {
    char32_t u = c;
    if (c >= 0x80 && c <= 0x9F) u = kHigh[c - 0x80];
    if (c < 0x20 || c == 0x7F || u == 0) {
      const std::string q = QuoteBytes(std::string(1, static_cast<char>(c)));
      out += q.substr(1, q.size() - 2);
    } else if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace quillomat::cli
