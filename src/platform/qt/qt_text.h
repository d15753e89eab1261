#pragma once

#include <QString>
#include <string>

#include "platform/cp1252.h"

namespace quillomat::qtp {

// cp1252 text of the core to and from the strings of the widgets.
inline QString ToQString(const std::string& cp1252) {
  return QString::fromStdString(platform::Cp1252ToUtf8(cp1252));
}
inline std::string FromQString(const QString& text) {
  return platform::Utf8ToCp1252(text.toStdString());
}

}  // namespace quillomat::qtp
