#include "platform/sim/sim_playback_forms.h"

namespace quillomat::sim {

std::string SimPlaybackForms::NextAnswer(const std::string& otherwise) {
  if (answers_.empty()) return otherwise;
  std::string answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

bool SimPlaybackForms::ShowPauseBox(const platform::PauseBoxForm& form) {
  pause_boxes_.push_back(form);
  const bool resume = NextAnswer("continue") != "abort";
  if (log_) {
    log_->Add("pause " + std::to_string(form.top) + " " + std::to_string(form.left) + " " +
              std::to_string(form.width) + "x" + std::to_string(form.height) + " " +
              SimEventLog::Quote(form.caption) + " " + SimEventLog::Quote(form.message) +
              (resume ? " continue" : " abort"));
  }
  return resume;
}

void SimPlaybackForms::ShowMessage(const platform::OnTopMessageForm& form) {
  messages_.push_back(form);
  if (log_) {
    log_->Add("message " + SimEventLog::Quote(form.title) + " " + SimEventLog::Quote(form.text));
  }
}

std::string SimPlaybackForms::ShowRepPrompt(const platform::RepPromptForm& form,
                                            const platform::PromptCheck& check) {
  prompts_.push_back(form);
  for (;;) {
    std::string answer = NextAnswer("1");
    const bool accepted = check(answer);
    if (log_) {
      log_->Add("prompt " + SimEventLog::Quote(form.label) + " " + SimEventLog::Quote(answer) +
                (accepted ? " accepted" : " refused"));
    }
    if (accepted) return answer;
  }
}

}  // namespace quillomat::sim
