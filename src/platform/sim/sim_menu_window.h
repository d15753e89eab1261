#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "activation/popup_menu.h"

namespace quillomat::sim {

// The runtime menu with scripted answers, taken in order: "cancel", "key C" (the character C
// is typed into the menu) or "click N" (the item at 0-based position N is chosen). With no
// answer left the menu is cancelled.
class SimMenuWindow : public activation::MenuWindow {
 public:
  int Show(const activation::MenuForm& form) override;

  void Answer(std::string answer) { answers_.push_back(std::move(answer)); }
  // Runs while the menu is open, before it answers (a test posts and pumps messages there).
  void SetWhileOpen(std::function<void()> while_open) { while_open_ = std::move(while_open); }
  const std::vector<activation::MenuForm>& shown() const { return shown_; }

 private:
  std::deque<std::string> answers_;
  std::vector<activation::MenuForm> shown_;
  std::function<void()> while_open_;
};

}  // namespace quillomat::sim
