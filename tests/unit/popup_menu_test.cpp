#include "activation/popup_menu.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_menu_window.h"
#include "store/hotkey_catalogue.h"

namespace quillomat::activation {
namespace {

using store::MacroRecord;

MacroRecord MenuRecord(int items, const std::string& options) {
  MacroRecord menu;
  menu.scope.Set(store::kScopePopupMenu);
  menu.trigword.Set(options);
  std::vector<uint16_t> numbers;
  for (int i = 0; i < items; ++i) numbers.push_back(static_cast<uint16_t>(i + 1));
  menu.SetMenuItems(numbers);
  return menu;
}

// Macros 1..n, numbered in their nicknames; a few special ones by number.
class PopupMenuTest : public testing::Test {
 protected:
  TDoAMenu Menu() {
    return TDoAMenu(
        [this](int n, MacroRecord& r) {
          if (n < 1 || n > count) return false;
          auto it = special.find(n);
          if (it != special.end()) {
            r = it->second;
            return true;
          }
          r = MacroRecord();
          r.nickname.Set("Macro " + std::to_string(n));
          r.scope.Set(store::kScopeGlobal);
          r.SetText("text of " + std::to_string(n));
          r.icon_name.Set("MAIN");
          return true;
        },
        "/icons", [this](const std::string& path) { return files.count(path) > 0; });
  }

  int count = 40;
  std::map<int, MacroRecord> special;
  std::set<std::string> files;
  platform::ScreenSize screen{1024, 768};
};

TEST(PopupMenuKeys, TypedCharacterChoosesByPosition) {
  struct Case {
    char typed;
    int items;
    int chosen;
  };
  const Case cases[] = {
      {'0', 1, 0},   {'9', 10, 9},  {'9', 9, -1},    {'A', 11, 10}, {'a', 11, 10},
      {'j', 20, 19}, {'J', 19, -1}, {'z', 36, 35},   {'Z', 40, 35}, {' ', 20, -1},
      {'-', 20, -1}, {'[', 40, -1}, {'\x1b', 5, -1}, {'0', 0, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseByKey(c.typed, c.items), c.chosen)
        << "'" << c.typed << "' with " << c.items << " items";
  }
  EXPECT_EQ(ItemKey(0), "0");
  EXPECT_EQ(ItemKey(9), "9");
  EXPECT_EQ(ItemKey(10), "A");
  EXPECT_EQ(ItemKey(35), "Z");
  EXPECT_EQ(ItemKey(36), "");  // no key reaches it
}

TEST(PopupMenuLayout, SizesByModeAndItemCount) {
  struct Case {
    MenuShowMode mode;
    int icon_size, items;
    MenuSize size;
  };
  const auto kList = MenuShowMode::kNicknameAndScope;
  const auto kIcons = MenuShowMode::kIcons;
  const Case cases[] = {
      {kList, 16, 0, {300, 50, 8, 0}},      {kList, 16, 1, {300, 67, 25, 0}},
      {kList, 16, 18, {300, 356, 314, 0}},  {kList, 16, 19, {604, 356, 314, 25}},
      {kList, 16, 20, {604, 356, 314, 42}}, {MenuShowMode::kText, 64, 36, {604, 356, 314, 314}},
      {kIcons, 32, 10, {324, 94, 0, 0}},  // 9 + 1 buttons of 36 pixels
      {kIcons, 32, 9, {324, 58, 0, 0}},     {kIcons, 16, 8, {160, 42, 0, 0}},
      {kIcons, 16, 4, {80, 42, 0, 0}},      {kIcons, 24, 3, {112, 50, 0, 0}},
      {kIcons, 64, 19, {612, 226, 0, 0}},
  };
  for (const auto& c : cases) {
    const MenuSize s = LayoutSize(c.mode, c.icon_size, c.items);
    SCOPED_TRACE(std::to_string(static_cast<int>(c.mode)) + " " + std::to_string(c.icon_size) +
                 " " + std::to_string(c.items));
    EXPECT_EQ(s.width, c.size.width);
    EXPECT_EQ(s.height, c.size.height);
    EXPECT_EQ(s.left_list_height, c.size.left_list_height);
    EXPECT_EQ(s.right_list_height, c.size.right_list_height);
  }
}

TEST(PopupMenuLayout, OptionsAndRowParts) {
  struct Case {
    std::string options;
    MenuShowMode mode;
    int icon_size;
  };
  const Case cases[] = {
      {"N1 ", MenuShowMode::kText, 16},
      {"Y20", MenuShowMode::kIcons, 16},
      {"N31", MenuShowMode::kNicknameAndScope, 24},
      {" 22", MenuShowMode::kIcons, 32},
      {"N 3", MenuShowMode::kNicknameAndScope, 48},
      {"N94", MenuShowMode::kNicknameAndScope, 64},
      {"N25", MenuShowMode::kIcons, 16},
      {"", MenuShowMode::kNicknameAndScope, 16},
  };
  for (const auto& c : cases) {
    const MacroRecord menu = MenuRecord(0, c.options);
    EXPECT_EQ(ShowModeOf(menu), c.mode) << c.options;
    EXPECT_EQ(IconSizeOf(menu), c.icon_size) << c.options;
  }
  // c = 41: half a cell rounds 20.5 to even; c = 43: 21.5 rounds to 22.
  const MenuRowLayout odd = RowLayout(290);
  EXPECT_EQ(odd.label_width, 20);
  EXPECT_EQ(odd.text_left, 22);
  EXPECT_DOUBLE_EQ(odd.text_max, 184.5);
  EXPECT_EQ(odd.scope_left, 207);
  EXPECT_EQ(RowLayout(301).label_width, 22);
  auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
  EXPECT_EQ(ShortenFromEnd("abcdefghij", 45.5, width), "abcd");
  EXPECT_EQ(ShortenFromEnd("abc", 30, width), "abc");
}

TEST(PopupMenuLayout, Placement) {
  struct Case {
    int position;
    int left, top;
  };
  const Case cases[] = {
      {-1, 362, 359},  // centred
      {100, 100, 718},
      {724, 724, 718},  // just fits
      {900, 600, 718},  // moved left by its width
  };
  for (const auto& c : cases) {
    MenuForm form;
    form.width = 300;
    form.height = 50;
    PlaceMenu(form, c.position, {1024, 768});
    EXPECT_EQ(form.left, c.left) << c.position;
    EXPECT_EQ(form.top, c.top) << c.position;
  }
  MenuForm wide;
  wide.width = 604;
  wide.height = 50;
  PlaceMenu(wide, 500, {800, 600});  // would pass the right edge, and 500 - 604 < 0
  EXPECT_EQ(wide.left, 0);
}

TEST_F(PopupMenuTest, TwentyItemsInListMode) {
  TDoAMenu menu = Menu();
  special[20].nickname.Set("   ");
  special[20].activation.Set(store::kTimedMacro);
  special[20].scope.Set(store::kScopeWindow);
  special[20].scope_name.Set("a window title longer than twenty");
  special[19].nickname.Set("  Padded  ");
  special[19].scope.Set(store::kScopePopupMenu);
  const MenuForm form = menu.FormShow(MenuRecord(20, "N3 "), -1, screen);
  EXPECT_EQ(form.caption, "Choose A Macro");
  ASSERT_EQ(form.left_rows.size(), 18u);
  ASSERT_EQ(form.right_rows.size(), 2u);
  EXPECT_EQ(form.left_rows[0].key, "0");
  EXPECT_EQ(form.left_rows[10].key, "A");
  EXPECT_EQ(form.left_rows[17].key, "H");
  EXPECT_EQ(form.left_rows[0].text, "Macro 1");
  EXPECT_EQ(form.left_rows[0].scope, "GLOBAL");
  EXPECT_EQ(form.right_rows[0].key, "I");
  EXPECT_EQ(form.right_rows[0].text, "Padded");
  EXPECT_EQ(form.right_rows[0].scope, "Popup Menu");
  EXPECT_EQ(form.right_rows[1].key, "J");
  EXPECT_EQ(form.right_rows[1].text, "Timed Macro");
  EXPECT_EQ(form.right_rows[1].scope, "a window title longe");
  EXPECT_EQ(form.text_heading, "Name");
  EXPECT_EQ(form.scope_heading, "Scope");
  EXPECT_EQ(form.prompt, "Double Click or Press Number or Letter");
  EXPECT_EQ(form.width, 604);
  EXPECT_EQ(form.height, 356);

  sim::SimMenuWindow window;
  window.Answer("key j");
  window.Answer("key k");
  window.Answer("cancel");
  EXPECT_EQ(menu.Run(MenuRecord(20, "N3 "), -1, screen, window), 20);
  EXPECT_EQ(menu.Run(MenuRecord(20, "N3 "), -1, screen, window), -1);
  EXPECT_EQ(menu.Run(MenuRecord(20, "N3 "), -1, screen, window), -1);
}

TEST_F(PopupMenuTest, TextModeAndUnreadableItems) {
  count = 2;
  special[2].SetText(std::string(300, 'x'));
  MacroRecord record = MenuRecord(3, "N1 ");  // item 3 is past the end of the file
  const MenuForm form = Menu().FormShow(record, 50, screen);
  ASSERT_EQ(form.left_rows.size(), 3u);
  EXPECT_EQ(form.left_rows[0].text, "text of 1");
  EXPECT_EQ(form.left_rows[0].scope, "");
  EXPECT_EQ(form.left_rows[1].text, std::string(250, 'x'));
  EXPECT_EQ(form.left_rows[2].key, "2");
  EXPECT_EQ(form.left_rows[2].text, "");
  EXPECT_EQ(form.text_heading, "Macro Text");
  EXPECT_EQ(form.scope_heading, "");
  EXPECT_EQ(form.left_list_height, 59);
  EXPECT_EQ(form.left, 50);
  EXPECT_EQ(form.top, 768 - 101);
}

TEST_F(PopupMenuTest, IconModeGridAndPictures) {
  special[2].icon_name.Set("MENU");
  special[3].icon_name.Set("MINE.ICO");
  special[4].icon_name.Set("GONE.ICO");
  special[5].icon_name.Set("GONE.ICO");
  special[5].scope.Set(store::kScopePopupMenu);
  special[6].icon_name.Set("");
  for (int n : {2, 3, 4, 5, 6}) special[n].nickname.Set("tip " + std::to_string(n));
  files.insert("/icons/MINE.ICO");
  const MenuForm form = Menu().FormShow(MenuRecord(10, "N22"), -1, screen);
  EXPECT_TRUE(form.left_rows.empty());
  EXPECT_TRUE(form.prompt.empty());
  ASSERT_EQ(form.buttons.size(), 10u);
  EXPECT_EQ(form.width, 324);
  EXPECT_EQ(form.height, 94);
  EXPECT_EQ(form.buttons[8].left, 288);
  EXPECT_EQ(form.buttons[8].top, 0);
  EXPECT_EQ(form.buttons[9].left, 0);
  EXPECT_EQ(form.buttons[9].top, 36);
  EXPECT_EQ(form.buttons[9].size, 36);
  const std::vector<MenuIconKind> kinds = {MenuIconKind::kProgram, MenuIconKind::kMenu,
                                           MenuIconKind::kFile,    MenuIconKind::kProgram,
                                           MenuIconKind::kMenu,    MenuIconKind::kProgram};
  for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(form.buttons[i].icon, kinds[i]) << i;
  EXPECT_EQ(form.buttons[2].icon_file, "/icons/MINE.ICO");
  EXPECT_EQ(form.buttons[0].tool_tip, "Macro 1");
  EXPECT_EQ(form.buttons[4].tool_tip, "tip 5");
}

}  // namespace
}  // namespace quillomat::activation
