#pragma once

// The runtime menu of macros, "Choose A Macro", as a Qt dialog: a tool window that stays on
// top, with one or two owner-drawn lists of items (or a grid of icon buttons) and a Cancel
// button. A double click, an icon click or a typed digit or letter chooses an item.

#include <QDialog>

#include "activation/popup_menu.h"

class QKeyEvent;
class QListWidget;

namespace quillomat::ui {

class TDoAMenuView : public QDialog {
  Q_OBJECT

 public:
  explicit TDoAMenuView(const activation::MenuForm& form, QWidget* parent = nullptr);
  // The 0-based position of the chosen item, or -1.
  int chosen() const { return chosen_; }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Choose(int position);
  // True when the key was a printable character, which chooses by position or nothing.
  bool TypedKey(QKeyEvent* key);
  QListWidget* List(const char* name, const std::vector<activation::MenuRow>& rows, int first,
                    QRect where);

  activation::MenuForm form_;
  int chosen_ = -1;
};

// The menu the dispatcher shows on the real desktop.
class QtMenuWindow : public activation::MenuWindow {
 public:
  int Show(const activation::MenuForm& form) override;
};

}  // namespace quillomat::ui
