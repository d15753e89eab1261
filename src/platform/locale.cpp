#include "platform/locale.h"

namespace quillomat::platform {

std::string Cp1252Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    unsigned char up = u;
    if (u >= 'a' && u <= 'z') {
      up = u - 32;
    } else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) {
      up = u - 32;
    } else if (u == 0x9A || u == 0x9C || u == 0x9E) {  // s, oe, z with caron / ligature
      up = u - 16;
    } else if (u == 0xFF) {  // y with diaeresis
      up = 0x9F;
    }
    c = static_cast<char>(up);
  }
  return out;
}

}  // namespace quillomat::platform
