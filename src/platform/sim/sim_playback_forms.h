#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/playback_forms.h"
#include "platform/sim/sim_event_log.h"

namespace quillomat::sim {

// The pause box, message and prompt with scripted answers, taken in order by pause boxes and
// prompts: "continue" or "abort" for a pause box (anything else continues), the text typed
// into a prompt (refused entries take the next answer). With no answers left a pause box
// continues and a prompt is answered "1".
class SimPlaybackForms : public platform::PlaybackForms {
 public:
  bool ShowPauseBox(const platform::PauseBoxForm& form) override;
  // The answers are scripted: a box never stays open to be resumed.
  void ResumePauseBox() override {}
  void ShowMessage(const platform::OnTopMessageForm& form) override;
  std::string ShowRepPrompt(const platform::RepPromptForm& form,
                            const platform::PromptCheck& check) override;

  void Answer(std::string answer) { answers_.push_back(std::move(answer)); }
  // Reports "pause ...", "message ..." and "prompt ..." lines.
  void SetLog(SimEventLog* log) { log_ = log; }

  const std::vector<platform::PauseBoxForm>& pause_boxes() const { return pause_boxes_; }
  const std::vector<platform::OnTopMessageForm>& messages() const { return messages_; }
  const std::vector<platform::RepPromptForm>& prompts() const { return prompts_; }

 private:
  std::string NextAnswer(const std::string& otherwise);

  std::deque<std::string> answers_;
  std::vector<platform::PauseBoxForm> pause_boxes_;
  std::vector<platform::OnTopMessageForm> messages_;
  std::vector<platform::RepPromptForm> prompts_;
  SimEventLog* log_ = nullptr;
};

}  // namespace quillomat::sim
