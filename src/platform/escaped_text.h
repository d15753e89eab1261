#pragma once

#include <string>
#include <string_view>

namespace quillomat::platform {

// Bytes as readable text that keeps every byte: \\ \r \n \t, the characters 0x20..0x7E as
// they are, and every other byte as \xHH. The text forms of qlx and the event log of the
// simulated desktop use it.
std::string EscapeBytes(std::string_view bytes);

}  // namespace quillomat::platform
