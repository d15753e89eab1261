#pragma once

// The runtime menu of macros ("Choose A Macro"): a Popup Menu macro lists other macros by
// their macro numbers, and the one the user picks is played. The logic here works out what
// the window shows and where; a MenuWindow only draws it and reports the choice.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/input.h"
#include "store/macro_record.h"

namespace quillomat::activation {

inline constexpr char kMenuCaption[] = "Choose A Macro";
inline constexpr char kMenuPrompt[] = "Double Click or Press Number or Letter";
inline constexpr char kMenuCancel[] = "&Cancel";
inline constexpr int kMenuRowHeight = 17;
inline constexpr int kMenuIconColumns = 9;
inline constexpr int kMenuLeftListRows = 18;
// Letters and digits reach the first 36 items.
inline constexpr int kMenuKeyedItems = 36;

enum class MenuShowMode { kText = 1, kIcons = 2, kNicknameAndScope = 3 };

// What an icon-mode button shows.
enum class MenuIconKind { kProgram, kMenu, kFile };

struct MenuRow {
  int macro_number = 0;
  std::string key;    // "0".."9", "A".."Z"; empty past the 36th item
  std::string text;   // text mode: the beginning of the macro text; else the nickname
  std::string scope;  // nickname mode only
};

struct MenuIconButton {
  int macro_number = 0;
  int left = 0, top = 0, size = 20;  // the button, (icon size + 4) square
  MenuIconKind icon = MenuIconKind::kProgram;
  std::string icon_file;  // kFile: the path of the icon
  std::string tool_tip;   // the item's nickname
};

// Everything the window shows, in client coordinates.
struct MenuForm {
  std::string caption = kMenuCaption;
  MenuShowMode mode = MenuShowMode::kNicknameAndScope;
  int icon_size = 16;
  int left = 0, top = 0, width = 300, height = 50;  // client area on the screen
  std::vector<int> items;                           // macro numbers in menu order
  // List modes.
  std::vector<MenuRow> left_rows, right_rows;  // items 1..18, 19 and later
  int left_list_height = 0;
  int right_list_height = 0;  // 0: the right list is hidden
  std::string text_heading;   // "Macro Text" or "Name"
  std::string scope_heading;  // "Scope"; empty: hidden (text mode)
  std::string prompt = kMenuPrompt;
  std::string cancel_text = kMenuCancel;
  // Icons mode.
  std::vector<MenuIconButton> buttons;
};

// Where a list row draws its parts, for a row of the given width.
struct MenuRowLayout {
  int label_width = 0;  // the silver key cell, from the left edge
  int text_left = 0;    // the text or nickname
  double text_max = 0;  // nickname mode: the nickname is shortened to this width
  int scope_left = 0;   // nickname mode: the scope text, and the grey line before it
};
MenuRowLayout RowLayout(int row_width);

// Cuts characters from the end until width(text) fits in max_width.
std::string ShortenFromEnd(std::string text, double max_width,
                           const std::function<int(const std::string&)>& width);

// The key label of the item at 0-based position.
std::string ItemKey(int position);
// The 0-based position that a typed character chooses, or -1: digits choose 0..9, letters of
// either case 10..35, and only positions below the item count.
int ChooseByKey(char typed, int item_count);

// The menu's options from the three option characters of its Trigword.
MenuShowMode ShowModeOf(const store::MacroRecord& menu);
int IconSizeOf(const store::MacroRecord& menu);

// The menu's size for its item count (client area), in the given show mode.
struct MenuSize {
  int width = 0, height = 0;
  int left_list_height = 0, right_list_height = 0;
};
MenuSize LayoutSize(MenuShowMode mode, int icon_size, int item_count);

// Where the window goes: centred for position -1, else along the bottom of the screen with
// its left edge at the position, kept on the screen.
void PlaceMenu(MenuForm& form, int position, platform::ScreenSize screen);

// The runtime menu window: shows the form modally, always on top, and returns the 0-based
// position of the chosen item, or -1 when cancelled.
class MenuWindow {
 public:
  virtual ~MenuWindow() = default;
  virtual int Show(const MenuForm& form) = 0;
};

// Reads an item's record; false when it cannot be read.
using ReadMacroFn = std::function<bool(int number, store::MacroRecord& record)>;

// The runtime menu, "Choose A Macro".
class TDoAMenu {
 public:
  // icons_dir: the folder of macro icons; exists tells whether an icon file is there.
  TDoAMenu(ReadMacroFn read, std::string icons_dir, std::function<bool(const std::string&)> exists);

  // What the window shows for this menu record at this position value (-1: centred).
  MenuForm FormShow(const store::MacroRecord& menu, int position, platform::ScreenSize screen);
  // Shows the menu; the chosen macro number, or -1 when cancelled.
  int Run(const store::MacroRecord& menu, int position, platform::ScreenSize screen,
          MenuWindow& window);

 private:
  MenuRow Row(int position, int number, MenuShowMode mode);
  MenuIconButton Button(int position, int number, int size);

  ReadMacroFn read_;
  std::string icons_dir_;
  std::function<bool(const std::string&)> exists_;
};

// The text that names a macro's activation: "Timed Macro", its Trigword or the hot key name.
std::string ActivationText(const store::MacroRecord& record);
// "GLOBAL", "Popup Menu" or the first 20 characters of the scope name.
std::string ScopeText(const store::MacroRecord& record);

}  // namespace quillomat::activation
