#include "platform/sim/sim_event_log.h"

#include "platform/escaped_text.h"

namespace quillomat::sim {

std::string SimEventLog::Escape(std::string_view text) { return platform::EscapeBytes(text); }

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
