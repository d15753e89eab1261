#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/qt/qt_text.h"

namespace quillomat::qtp {

platform::MessageResult QtMessageBoxes::Show(const std::string& title, const std::string& text,
                                             platform::MessageButtons buttons) {
  using platform::MessageButtons;
  using platform::MessageResult;
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (buttons) {
    case MessageButtons::kOk:
      standard = QMessageBox::Ok;
      break;
    case MessageButtons::kYesNo:
      standard = QMessageBox::Yes | QMessageBox::No;
      break;
    case MessageButtons::kOkCancel:
      standard = QMessageBox::Ok | QMessageBox::Cancel;
      break;
    case MessageButtons::kYesNoCancel:
      standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      break;
  }
  if (title == "Error" || title == "System Error") icon = QMessageBox::Critical;
  if (title == "Warning" || title == "Delete") icon = QMessageBox::Warning;
  if (buttons != MessageButtons::kOk && icon == QMessageBox::Information) {
    icon = QMessageBox::Question;
  }
  // An empty title would make the desktop show the program's name instead; a blank keeps the
  // title bar empty.
  const QString caption = title.empty() ? QStringLiteral(" ") : ToQString(title);
  QMessageBox box(icon, caption, ToQString(text), standard, QApplication::activeWindow());
  box.setObjectName("QuillomatMessageBox");
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageResult::kYes;
    case QMessageBox::No:
      return MessageResult::kNo;
    case QMessageBox::Cancel:
      return MessageResult::kCancel;
    default:
      return MessageResult::kOk;
  }
}

}  // namespace quillomat::qtp
