#pragma once

// The three small windows a playing macro can put in front of the user: the pause box, the
// on-top message and the repeat-count prompt. The player works out what each shows and where
// (plain values below); an implementation only draws them and reports the answer.

#include <functional>
#include <string>

namespace quillomat::platform {

struct PauseBoxForm {
  std::string caption;  // "Pause", or "Pause (" + hot key + ")"
  std::string heading;  // "Quillomat Pause"
  std::string nickname;
  std::string message;  // empty: no message label
  int top = 0, left = 0, width = 224, height = 94;
  int message_height = 0;   // the message label's height, 0 without a message
  int buttons_top = 42;     // both buttons sit 52 px above the bottom edge
  std::string resume_text;  // "&Resume"
  std::string abort_text;   // "&Abort"
};

struct OnTopMessageForm {
  std::string title;
  std::string text;
  int top = 0, left = 0, width = 235, height = 130;  // client area
  int label_left = 4, label_top = 4, label_width = 229, label_height = 97;
  std::string ok_text;  // "&Ok"
};

struct RepPromptForm {
  std::string caption;                              // "Macro Repeat"
  std::string label;                                // "Times To Repeat"
  int top = 0, left = 0, width = 167, height = 56;  // client area
  std::string ok_text;                              // "&Ok"
};

// Asked with the prompt's edit text when the prompt is about to close; false keeps it open
// with the focus in the edit field (the check has already told the user why).
using PromptCheck = std::function<bool(const std::string& text)>;

// Every call is modal and stays on top; the message loop keeps running inside it.
class PlaybackForms {
 public:
  virtual ~PlaybackForms() = default;
  // True for "continue" (Resume, or ResumePauseBox while it is open), false for "abort".
  virtual bool ShowPauseBox(const PauseBoxForm& form) = 0;
  // Closes an open pause box with "continue" (the macro's own hot key or the resume hot key).
  virtual void ResumePauseBox() = 0;
  virtual void ShowMessage(const OnTopMessageForm& form) = 0;
  // Returns the edit text that the check accepted.
  virtual std::string ShowRepPrompt(const RepPromptForm& form, const PromptCheck& check) = 0;
};

}  // namespace quillomat::platform
