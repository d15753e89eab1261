#include "ui/popup_menu_view.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "platform/qt/qt_text.h"

namespace quillomat::ui {

using qtp::FromQString;
using qtp::ToQString;

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kTextRole = Qt::UserRole + 1;
constexpr int kScopeRole = Qt::UserRole + 2;
constexpr int kPositionRole = Qt::UserRole + 3;
constexpr int kHeadingHeight = 17;
constexpr int kListWidth = 300;
constexpr int kRightListLeft = 304;

// Draws a row from its parts: the silver key cell, the text, in nickname mode the scope, and
// grey lines between the columns and along the bottom.
class MenuRowDelegate : public QStyledItemDelegate {
 public:
  MenuRowDelegate(bool nickname_mode, QObject* parent)
      : QStyledItemDelegate(parent), nickname_mode_(nickname_mode) {}

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(kListWidth, activation::kMenuRowHeight);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect r = option.rect;
    const auto layout = activation::RowLayout(r.width());
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(r, selected ? option.palette.highlight() : option.palette.base());
    painter->fillRect(QRect(r.left(), r.top(), layout.label_width, r.height()), Qt::lightGray);
    painter->setPen(Qt::black);
    painter->drawText(QRect(r.left() + 2, r.top(), layout.label_width, r.height()),
                      Qt::AlignVCenter, index.data(kKeyRole).toString());
    painter->setPen(selected ? option.palette.highlightedText().color()
                             : option.palette.text().color());
    const QFontMetrics metrics(option.font);
    QString text = index.data(kTextRole).toString();
    int text_right = r.right();
    if (nickname_mode_) {
      const std::string shortened = activation::ShortenFromEnd(
          FromQString(text), layout.text_max,
          [&](const std::string& s) { return metrics.horizontalAdvance(ToQString(s)); });
      text = ToQString(shortened);
      text_right = r.left() + layout.scope_left - 2;
      painter->drawText(
          QRect(r.left() + layout.scope_left, r.top(), r.width() - layout.scope_left, r.height()),
          Qt::AlignVCenter, index.data(kScopeRole).toString());
    }
    painter->drawText(QRect(r.left() + layout.text_left, r.top(),
                            text_right - r.left() - layout.text_left, r.height()),
                      Qt::AlignVCenter, text);
    painter->setPen(Qt::gray);
    painter->drawLine(r.left() + layout.label_width, r.top(), r.left() + layout.label_width,
                      r.bottom());
    if (nickname_mode_) {
      const int x = r.left() + layout.scope_left - 2;
      painter->drawLine(x, r.top(), x, r.bottom());
    }
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->restore();
  }

 private:
  bool nickname_mode_;
};

QIcon IconOf(const activation::MenuIconButton& button) {
  switch (button.icon) {
    case activation::MenuIconKind::kFile:
      return QIcon(QString::fromStdString(button.icon_file));
    case activation::MenuIconKind::kMenu:
      return QApplication::style()->standardIcon(QStyle::SP_FileDialogListView);
    case activation::MenuIconKind::kProgram:
      break;
  }
  const QIcon program = QApplication::windowIcon();
  return program.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : program;
}

}  // namespace

TDoAMenuView::TDoAMenuView(const activation::MenuForm& form, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      form_(form) {
  setObjectName("TDoAMenu");
  setWindowTitle(ToQString(form.caption));
  setFixedSize(form.width, form.height);
  move(form.left, form.top);

  const int bottom = form.height - 25;
  if (form.mode == activation::MenuShowMode::kIcons) {
    for (size_t i = 0; i < form.buttons.size(); ++i) {
      const auto& b = form.buttons[i];
      auto* button = new QToolButton(this);
      button->setObjectName(QString("item_%1").arg(i));
      button->setAutoRaise(true);
      button->setGeometry(b.left, b.top, b.size, b.size);
      button->setIconSize(QSize(form.icon_size, form.icon_size));
      button->setIcon(IconOf(b));
      button->setToolTip(ToQString(b.tool_tip));
      connect(button, &QToolButton::clicked, this, [this, i] { Choose(static_cast<int>(i)); });
    }
  } else {
    auto* heading = new QLabel(ToQString(form.text_heading), this);
    heading->setObjectName("text_heading");
    const auto layout = activation::RowLayout(kListWidth);
    heading->setGeometry(layout.text_left, 0, layout.scope_left - layout.text_left, kHeadingHeight);
    if (!form.scope_heading.empty()) {
      auto* scope = new QLabel(ToQString(form.scope_heading), this);
      scope->setObjectName("scope_heading");
      scope->setGeometry(layout.scope_left, 0, kListWidth - layout.scope_left, kHeadingHeight);
    }
    List("left_list", form.left_rows, 0,
         QRect(0, kHeadingHeight, kListWidth, form.left_list_height));
    if (form.right_list_height > 0) {
      List("right_list", form.right_rows, activation::kMenuLeftListRows,
           QRect(kRightListLeft, kHeadingHeight, kListWidth, form.right_list_height));
    }
    auto* prompt = new QLabel(ToQString(form.prompt), this);
    prompt->setObjectName("prompt");
    prompt->setGeometry(96, bottom, form.width - 100, 25);
  }
  auto* cancel = new QPushButton(ToQString(form.cancel_text), this);
  cancel->setObjectName("cancel");
  cancel->setGeometry(4, bottom + 1, 86, 23);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

QListWidget* TDoAMenuView::List(const char* name, const std::vector<activation::MenuRow>& rows,
                                int first, QRect where) {
  auto* list = new QListWidget(this);
  list->setObjectName(name);
  list->setGeometry(where);
  list->setUniformItemSizes(true);
  list->setItemDelegate(
      new MenuRowDelegate(form_.mode == activation::MenuShowMode::kNicknameAndScope, list));
  for (size_t i = 0; i < rows.size(); ++i) {
    auto* item = new QListWidgetItem(ToQString(rows[i].text), list);
    item->setData(kKeyRole, ToQString(rows[i].key));
    item->setData(kTextRole, ToQString(rows[i].text));
    item->setData(kScopeRole, ToQString(rows[i].scope));
    item->setData(kPositionRole, first + static_cast<int>(i));
  }
  connect(list, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Choose(item->data(kPositionRole).toInt()); });
  return list;
}

void TDoAMenuView::Choose(int position) {
  if (position < 0 || position >= static_cast<int>(form_.items.size())) return;
  chosen_ = position;
  accept();
}

bool TDoAMenuView::event(QEvent* e) {
  // The menu comes up in front with the focus, and another always-on-top window must not end
  // up above it.
  if (e->type() == QEvent::Show) activateWindow();
  if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) raise();
  return QDialog::event(e);
}

bool TDoAMenuView::TypedKey(QKeyEvent* key) {
  const QString text = key->text();
  // Escape and the other keys without a printable character go on as usual.
  if (text.size() != 1 || !text[0].isPrint()) return false;
  const std::string typed = FromQString(text);
  if (!typed.empty()) {
    Choose(activation::ChooseByKey(typed[0], static_cast<int>(form_.items.size())));
  }
  return true;
}

bool TDoAMenuView::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress && TypedKey(static_cast<QKeyEvent*>(e))) return true;
  return QDialog::eventFilter(watched, e);
}

void TDoAMenuView::keyPressEvent(QKeyEvent* e) {
  if (!TypedKey(e)) QDialog::keyPressEvent(e);
}

int QtMenuWindow::Show(const activation::MenuForm& form) {
  TDoAMenuView view(form);
  view.exec();
  return view.chosen();
}

}  // namespace quillomat::ui
