#include "activation/popup_menu.h"

#include <algorithm>
#include <cmath>

#include "store/hotkey_catalogue.h"

namespace quillomat::activation {
namespace {

// The beginning of a macro's text that a text-mode row can show.
constexpr size_t kRowTextLength = 250;

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

MenuRowLayout RowLayout(int row_width) {
  const int c = row_width / 7;
  // Half of an odd cell width rounds to the even neighbour.
  const int half = static_cast<int>(std::nearbyint(c / 2.0));
  MenuRowLayout layout;
  layout.label_width = half;
  layout.text_left = half + 2;
  layout.text_max = 4.5 * c;
  layout.scope_left = 5 * c + 2;
  return layout;
}

std::string ShortenFromEnd(std::string text, double max_width,
                           const std::function<int(const std::string&)>& width) {
  while (!text.empty() && width(text) > max_width) text.pop_back();
  return text;
}

std::string ItemKey(int position) {
  if (position < 0 || position >= kMenuKeyedItems) return "";
  if (position < 10) return std::string(1, static_cast<char>('0' + position));
  return std::string(1, static_cast<char>(55 + position));
}

int ChooseByKey(char typed, int item_count) {
  int position = -1;
  if (typed >= '0' && typed <= '9') position = typed - '0';
  if (typed >= 'A' && typed <= 'Z') position = typed - 'A' + 10;
  if (typed >= 'a' && typed <= 'z') position = typed - 'a' + 10;
  return position >= 0 && position < item_count ? position : -1;
}

MenuShowMode ShowModeOf(const store::MacroRecord& menu) {
  const std::string options = menu.trigword.Get();
  const char mode = options.size() > 1 ? options[1] : ' ';
  if (mode == '1') return MenuShowMode::kText;
  if (mode == '2') return MenuShowMode::kIcons;
  return MenuShowMode::kNicknameAndScope;
}

int IconSizeOf(const store::MacroRecord& menu) {
  static constexpr int kSizes[] = {16, 24, 32, 48, 64};
  const std::string options = menu.trigword.Get();
  const char size = options.size() > 2 ? options[2] : ' ';
  return size >= '0' && size <= '4' ? kSizes[size - '0'] : 16;
}

MenuSize LayoutSize(MenuShowMode mode, int icon_size, int item_count) {
  MenuSize size;
  const int n = std::max(item_count, 0);
  if (mode == MenuShowMode::kIcons) {
    const int button = icon_size + 4;
    const int rows = (n + kMenuIconColumns - 1) / kMenuIconColumns;
    size.height = rows * button + 22;
    if (n > 8) {
      size.width = kMenuIconColumns * icon_size + 36;
    } else if (n >= 4) {
      size.width = n * button;
    } else {
      size.width = 4 * button;
    }
    return size;
  }
  if (n <= kMenuLeftListRows) {
    size.left_list_height = n * kMenuRowHeight + 8;
    size.width = 300;
  } else {
    size.left_list_height = 314;
    size.right_list_height = n * kMenuRowHeight - 298;
    size.width = 604;
  }
  size.height = size.left_list_height + 42;
  return size;
}

void PlaceMenu(MenuForm& form, int position, platform::ScreenSize screen) {
  if (position == -1) {
    form.left = (screen.width - form.width) / 2;
    form.top = (screen.height - form.height) / 2;
    return;
  }
  form.top = screen.height - form.height;
  form.left = position;
  if (form.left + form.width > screen.width) form.left -= form.width;
  form.left = std::max(form.left, 0);
}

std::string ActivationText(const store::MacroRecord& record) {
  const uint16_t activation = static_cast<uint16_t>(record.activation.Get());
  if (activation == store::kTimedMacro) return "Timed Macro";
  if (activation == store::kTrigwordMacro) return record.trigword.Get();
  return store::HotKeyName(activation);
}

std::string ScopeText(const store::MacroRecord& record) {
  const uint16_t scope = static_cast<uint16_t>(record.scope.Get());
  if (scope == store::kScopeGlobal) return "GLOBAL";
  if (scope == store::kScopePopupMenu) return "Popup Menu";
  return record.scope_name.Get().substr(0, 20);
}

TDoAMenu::TDoAMenu(ReadMacroFn read, std::string icons_dir,
                   std::function<bool(const std::string&)> exists)
    : read_(std::move(read)), icons_dir_(std::move(icons_dir)), exists_(std::move(exists)) {}

MenuRow TDoAMenu::Row(int position, int number, MenuShowMode mode) {
  MenuRow row;
  row.macro_number = number;
  row.key = ItemKey(position);
  store::MacroRecord record;
  // An item that cannot be read (a number past the end of the file) shows only its key.
  if (!read_(number, record)) return row;
  if (mode == MenuShowMode::kText) {
    row.text = record.Text().substr(0, kRowTextLength);
    return row;
  }
  row.text = Trimmed(record.nickname.Get());
  if (row.text.empty()) row.text = ActivationText(record);
  row.scope = ScopeText(record);
  return row;
}

MenuIconButton TDoAMenu::Button(int position, int number, int size) {
  MenuIconButton button;
  button.macro_number = number;
  button.size = size + 4;
  button.left = (position % kMenuIconColumns) * button.size;
  button.top = (position / kMenuIconColumns) * button.size;
  store::MacroRecord record;
  if (!read_(number, record)) return button;
  button.tool_tip = record.nickname.Get();
  const std::string name = record.icon_name.Get();
  const bool is_menu = record.scope.Get() == store::kScopePopupMenu;
  if (name == "MAIN") {
    button.icon = MenuIconKind::kProgram;
  } else if (name == "MENU") {
    button.icon = MenuIconKind::kMenu;
  } else if (!name.empty() && exists_(icons_dir_ + "/" + name)) {
    button.icon = MenuIconKind::kFile;
    button.icon_file = icons_dir_ + "/" + name;
  } else {
    button.icon = is_menu ? MenuIconKind::kMenu : MenuIconKind::kProgram;
  }
  return button;
}

MenuForm TDoAMenu::FormShow(const store::MacroRecord& menu, int position,
                            platform::ScreenSize screen) {
  MenuForm form;
  form.mode = ShowModeOf(menu);
  form.icon_size = IconSizeOf(menu);
  for (uint16_t number : menu.MenuItems()) form.items.push_back(number);
  const int n = static_cast<int>(form.items.size());
  const MenuSize size = LayoutSize(form.mode, form.icon_size, n);
  form.width = size.width;
  form.height = size.height;
  form.left_list_height = size.left_list_height;
  form.right_list_height = size.right_list_height;
  if (form.mode == MenuShowMode::kIcons) {
    // No lists, headings or prompt: a grid of buttons above the Cancel button.
    form.prompt.clear();
    for (int i = 0; i < n; ++i) form.buttons.push_back(Button(i, form.items[i], form.icon_size));
  } else {
    form.text_heading = form.mode == MenuShowMode::kText ? "Macro Text" : "Name";
    form.scope_heading = form.mode == MenuShowMode::kText ? "" : "Scope";
    for (int i = 0; i < n; ++i) {
      auto& rows = i < kMenuLeftListRows ? form.left_rows : form.right_rows;
      rows.push_back(Row(i, form.items[i], form.mode));
    }
  }
  PlaceMenu(form, position, screen);
  return form;
}

int TDoAMenu::Run(const store::MacroRecord& menu, int position, platform::ScreenSize screen,
                  MenuWindow& window) {
  const MenuForm form = FormShow(menu, position, screen);
  const int chosen = window.Show(form);
  if (chosen < 0 || chosen >= static_cast<int>(form.items.size())) return -1;
  return form.items[chosen];
}

}  // namespace quillomat::activation
