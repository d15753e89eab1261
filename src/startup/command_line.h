#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "startup/settings.h"

namespace quillomat::startup {

// What the start-up must do for the switches of the command line. The settings that switches
// change ("/S", "/N", "/SM") go straight into the SettingsRecord.
struct CommandLineEffects {
  bool hide_on_first_paint = false;       // "/HIDE"
  bool browse = false;                    // "/B"
  bool browse_all = false;                // "/BA"
  bool network_mode_switched_on = false;  // "/N": the network companion file is to be set up
  // "/F": an existing macro file to make current and load at once (absolute path, case as
  // typed); empty when none.
  std::string file_to_load;

  bool operator==(const CommandLineEffects&) const = default;
};

// One command-line argument. The switch is matched in any case, in the order "/HIDE", "/B",
// "/S", "/BA", "/F"+path, "/N", "/SM"+number; the first match decides. "/F" with a file that
// does not exist and "/SM" without a whole number 1..98 are ignored, as is anything else.
CommandLineEffects ProcessParam(std::string_view argument, SettingsRecord& settings);

// Every argument, first to last: the flags add up and a later "/F" wins over an earlier one.
CommandLineEffects ProcessParams(const std::vector<std::string>& arguments,
                                 SettingsRecord& settings);

}  // namespace quillomat::startup
