#include "platform/sim/sim_event_log.h"

namespace quillomat::sim {

std::string SimEventLog::Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte >= 0x20 && byte <= 0x7E) {
          out += c;
        } else {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        }
    }
  }
  return out;
}

std::string SimEventLog::Quote(std::string_view text) {
  std::string out = "\"";
  for (const char c : Escape(text)) {
    if (c == '"') {
      out += "\\x22";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace quillomat::sim
