#pragma once

#include <string>
#include <string_view>

namespace quillomat::platform {

// Macro text and every record field are cp1252; the desktop speaks UTF-8. These convert at
// the edges. Bytes that cp1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control characters of the same value, so every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view text);
// Characters that cp1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view text);
// The Unicode code point of one cp1252 byte, and the byte of a code point (-1 if none).
char32_t Cp1252ToUnicode(unsigned char byte);
int UnicodeToCp1252(char32_t code_point);

}  // namespace quillomat::platform
