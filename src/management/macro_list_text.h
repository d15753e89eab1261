#pragma once

#include <cstdint>
#include <string>

namespace quillomat::management {

// How a macro's activation and scope read in lists: "Timed Macro", the Trigword, or the hot
// key's name; "GLOBAL", "Window: " + title, "Program: " + name, "Popup Menu", "SYSTEM".
std::string ActivationText(uint16_t activation, const std::string& trigword);
std::string ScopeText(uint16_t scope, const std::string& scope_name);

}  // namespace quillomat::management
