#include "platform/sim/sim_menu_window.h"

#include <cstdlib>

namespace quillomat::sim {

int SimMenuWindow::Show(const activation::MenuForm& form) {
  shown_.push_back(form);
  if (while_open_) while_open_();
  if (answers_.empty()) return -1;
  const std::string answer = answers_.front();
  answers_.pop_front();
  const int count = static_cast<int>(form.items.size());
  if (answer.starts_with("key ") && answer.size() > 4) {
    return activation::ChooseByKey(answer[4], count);
  }
  if (answer.starts_with("click ")) {
    const int position = std::atoi(answer.c_str() + 6);
    return position >= 0 && position < count ? position : -1;
  }
  return -1;
}

}  // namespace quillomat::sim
