#pragma once

// What the pause box, the on-top message and the repeat prompt show and where: plain values
// that the forms draw.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/input.h"
#include "platform/playback_forms.h"

namespace quillomat::player {

inline constexpr std::string_view kAbortTitle = "Macro Abort";
inline constexpr std::string_view kAbortText = "Quillomat 98 macro has been aborted.";
inline constexpr std::string_view kInvalidRepeatText =
    "Invalid numeric value entered.  Please Correct";
inline constexpr std::string_view kInvalidRepeatTitle = "Error";

inline constexpr int kPauseBoxWidth = 224;
inline constexpr int kPauseBoxHeight = 94;
inline constexpr int kPauseLineHeight = 19;
inline constexpr int kPauseLineLength = 30;
inline constexpr int kPauseButtonsFromBottom = 52;

// The message label's height: 0 for no message, otherwise one 19-pixel line for every started
// 30 characters (a 30-character message takes two).
int PauseMessageHeight(std::string_view message);

// "<PAUSE>": centred, no message.
platform::PauseBoxForm CentredPauseBox(platform::ScreenSize screen);
// "<PAUSE:": at the given place, moved up and left as far as needed to stay on the screen.
platform::PauseBoxForm PlacedPauseBox(platform::ScreenSize screen, int top, int left,
                                      std::string_view message);
// "Pause", or "Pause (Ctrl+Alt+Q)" for a macro with a hot key.
std::string PauseCaption(uint16_t activation);

platform::OnTopMessageForm MessageForm(platform::ScreenSize screen, std::string_view title,
                                       std::string_view text);
platform::RepPromptForm RepPromptFormFor(platform::ScreenSize screen);

// The prompt's entry, blanks trimmed, as a whole number (an optional sign and decimal digits,
// within 32 bits), taken as 16 bits unsigned: "-1" gives 65535. Nothing when it is not one.
std::optional<uint16_t> RepeatCountFromText(std::string_view text);

}  // namespace quillomat::player
