#include "ui/popup_menu_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace quillomat::ui {
namespace {

TDoAMenuView* OpenMenu() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* view = qobject_cast<TDoAMenuView*>(w); view && view->isVisible()) return view;
  }
  return nullptr;
}

void WhenShown(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

void Type(QWidget* target, char c) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
  QApplication::sendEvent(target, &press);
}

// A menu of macros 101.. with nicknames "Macro 1"...
activation::MenuForm Form(int items, const char* options) {
  store::MacroRecord menu;
  menu.scope.Set(store::kScopePopupMenu);
  menu.trigword.Set(options);
  std::vector<uint16_t> numbers;
  for (int i = 1; i <= items; ++i) numbers.push_back(static_cast<uint16_t>(100 + i));
  menu.SetMenuItems(numbers);
  activation::TDoAMenu logic(
      [](int n, store::MacroRecord& r) {
        r = store::MacroRecord();
        r.nickname.Set("Macro " + std::to_string(n - 100));
        r.scope.Set(store::kScopeGlobal);
        r.icon_name.Set("MAIN");
        return true;
      },
      "/nowhere", [](const std::string&) { return false; });
  return logic.FormShow(menu, -1, {1024, 768});
}

TEST(PopupMenuView, ShowsItsItemsAndReturnsTheOneTyped) {
  const auto form = Form(20, "N3 ");
  QtMenuWindow window;
  bool checked = false;
  WhenShown([&] {
    TDoAMenuView* view = OpenMenu();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), "Choose A Macro");
    EXPECT_TRUE(view->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(view->size(), QSize(604, 356));
    auto* left = view->findChild<QListWidget*>("left_list");
    auto* right = view->findChild<QListWidget*>("right_list");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(left->count(), 18);
    EXPECT_EQ(left->height(), 314);
    ASSERT_EQ(right->count(), 2);
    EXPECT_EQ(left->item(0)->text(), "Macro 1");
    EXPECT_EQ(right->item(1)->text(), "Macro 20");
    EXPECT_EQ(right->item(1)->data(Qt::UserRole).toString(), "J");
    EXPECT_EQ(view->findChild<QLabel*>("scope_heading")->text(), "Scope");
    EXPECT_EQ(view->findChild<QLabel*>("prompt")->text(), "Double Click or Press Number or Letter");
    EXPECT_EQ(view->findChild<QPushButton*>("cancel")->text(), "&Cancel");
    left->setFocus();
    Type(left, ' ');  // neither digit nor letter: stays open
    EXPECT_TRUE(view->isVisible());
    checked = true;
    Type(left, 'j');
  });
  EXPECT_EQ(window.Show(form), 19);
  EXPECT_TRUE(checked);
}

TEST(PopupMenuView, DoubleClickChoosesAndEscapeCancels) {
  const auto form = Form(3, "N1 ");
  QtMenuWindow window;
  WhenShown([&] {
    auto* left = OpenMenu()->findChild<QListWidget*>("left_list");
    EXPECT_EQ(OpenMenu()->findChild<QListWidget*>("right_list"), nullptr);
    EXPECT_EQ(left->height(), 3 * 17 + 8);
    emit left->itemDoubleClicked(left->item(2));
  });
  EXPECT_EQ(window.Show(form), 2);
  WhenShown([&] {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(OpenMenu(), &escape);
  });
  EXPECT_EQ(window.Show(form), -1);
}

TEST(PopupMenuView, IconButtonsInAGrid) {
  const auto form = Form(10, "N22");
  QtMenuWindow window;
  WhenShown([&] {
    TDoAMenuView* view = OpenMenu();
    EXPECT_EQ(view->size(), QSize(324, 94));
    EXPECT_EQ(view->findChild<QListWidget*>("left_list"), nullptr);
    auto* last = view->findChild<QToolButton*>("item_9");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->geometry(), QRect(0, 36, 36, 36));
    EXPECT_EQ(last->toolTip(), "Macro 10");
    view->findChild<QToolButton*>("item_4")->click();
  });
  EXPECT_EQ(window.Show(form), 4);
}

}  // namespace
}  // namespace quillomat::ui
