#include "store/macro_record.h"

#include <cstring>

namespace quillomat::store {

std::string MacroRecord::Text() const {
  return std::string(macro_text, strnlen(macro_text, kMaxMacroText));
}

void MacroRecord::SetText(std::string_view text) {
  const size_t n = std::min<size_t>(text.size(), kMaxMacroText);
  std::memcpy(macro_text, text.data(), n);
  macro_text[n] = '\0';
}

std::vector<uint16_t> MacroRecord::MenuItems() const {
  const auto* bytes = reinterpret_cast<const uint8_t*>(macro_text);
  const size_t count = std::min<size_t>(bytes[0] | bytes[1] << 8, (sizeof macro_text - 2) / 2);
  std::vector<uint16_t> items(count);
  for (size_t i = 0; i < count; ++i) {
    items[i] = static_cast<uint16_t>(bytes[2 + 2 * i] | bytes[3 + 2 * i] << 8);
  }
  return items;
}

void MacroRecord::SetMenuItems(const std::vector<uint16_t>& items) {
  auto* bytes = reinterpret_cast<uint8_t*>(macro_text);
  const size_t count = std::min(items.size(), (sizeof macro_text - 2) / 2);
  bytes[0] = static_cast<uint8_t>(count);
  bytes[1] = static_cast<uint8_t>(count >> 8);
  for (size_t i = 0; i < count; ++i) {
    bytes[2 + 2 * i] = static_cast<uint8_t>(items[i]);
    bytes[3 + 2 * i] = static_cast<uint8_t>(items[i] >> 8);
  }
}

MacroRecord MacroRecord::FromBytes(const uint8_t* bytes) {
  MacroRecord record;
  std::memcpy(&record, bytes, kMacroRecordSize);
  return record;
}

void MacroRecord::ToBytes(uint8_t* bytes) const { std::memcpy(bytes, this, kMacroRecordSize); }

}  // namespace quillomat::store
