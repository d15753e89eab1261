#include "player/prompts.h"

#include <cstdint>

#include "store/hotkey_catalogue.h"
#include "store/macro_record.h"

namespace quillomat::player {

int PauseMessageHeight(std::string_view message) {
  if (message.empty()) return 0;
  return (static_cast<int>(message.size()) / kPauseLineLength + 1) * kPauseLineHeight;
}

namespace {

platform::PauseBoxForm PauseBox(int top, int left, std::string_view message) {
  platform::PauseBoxForm form;
  form.caption = "Pause";
  form.heading = "Quillomat Pause";
  form.message = std::string(message);
  form.top = top;
  form.left = left;
  form.width = kPauseBoxWidth;
  form.message_height = PauseMessageHeight(message);
  form.height = kPauseBoxHeight + form.message_height;
  form.buttons_top = form.height - kPauseButtonsFromBottom;
  form.resume_text = "&Resume";
  form.abort_text = "&Abort";
  return form;
}

}  // namespace

platform::PauseBoxForm CentredPauseBox(platform::ScreenSize screen) {
  return PauseBox((screen.height - kPauseBoxHeight) / 2, (screen.width - kPauseBoxWidth) / 2, "");
}

platform::PauseBoxForm PlacedPauseBox(platform::ScreenSize screen, int top, int left,
                                      std::string_view message) {
  const int extra = PauseMessageHeight(message);
  if (top > screen.height - extra - kPauseBoxHeight) top = screen.height - extra - kPauseBoxHeight;
  if (left > screen.width - kPauseBoxWidth) left = screen.width - kPauseBoxWidth;
  return PauseBox(top, left, message);
}

std::string PauseCaption(uint16_t activation) {
  if (activation == store::kTimedMacro || activation == store::kTrigwordMacro ||
      activation >= store::kCatalogueSize) {
    return "Pause";
  }
  return "Pause (" + store::HotKeyName(activation) + ")";
}

platform::OnTopMessageForm MessageForm(platform::ScreenSize screen, std::string_view title,
                                       std::string_view text) {
  platform::OnTopMessageForm form;
  form.title = std::string(title);
  form.text = std::string(text);
  form.left = (screen.width - form.width) / 2;
  form.top = (screen.height - form.height) / 2;
  form.ok_text = "&Ok";
  return form;
}

platform::RepPromptForm RepPromptFormFor(platform::ScreenSize screen) {
  platform::RepPromptForm form;
  form.caption = "Macro Repeat";
  form.label = "Times To Repeat";
  form.left = (screen.width - form.width) / 2;
  form.top = (screen.height - form.height) / 2;
  form.ok_text = "&Ok";
  return form;
}

std::optional<uint16_t> RepeatCountFromText(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFF);
}

}  // namespace quillomat::player
