#include "management/macro_list_text.h"

#include "store/hotkey_catalogue.h"
#include "store/macro_record.h"

namespace quillomat::management {

std::string ActivationText(uint16_t activation, const std::string& trigword) {
  if (activation == store::kTimedMacro) return "Timed Macro";
  if (activation == store::kTrigwordMacro) return trigword;
  const std::string name = store::HotKeyName(activation);
  return name.empty() ? "Hot key " + std::to_string(activation) + " (unknown)" : name;
}

std::string ScopeText(uint16_t scope, const std::string& scope_name) {
  switch (scope) {
    case store::kScopeGlobal:
      return "GLOBAL";
    case store::kScopeWindow:
      return "Window: " + scope_name;
    case store::kScopeProgram:
      return "Program: " + scope_name;
    case store::kScopePopupMenu:
      return "Popup Menu";
    case store::kScopeSystem:
      return "SYSTEM";
    default:
      return "Scope " + std::to_string(scope) + " (unknown)";
  }
}

}  // namespace quillomat::management
