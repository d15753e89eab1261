#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt/qt_text.h"

namespace quillomat::qtp {

bool QtClipboard::SetText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(ToQString(text), QClipboard::Clipboard);
  return true;
}

std::string QtClipboard::Text() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard ? FromQString(clipboard->text(QClipboard::Clipboard)) : std::string();
}

}  // namespace quillomat::qtp
