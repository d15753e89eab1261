#include "platform/qt/qt_sound.h"

#include <QApplication>

namespace quillomat::qtp {

void QtSound::Bell() { QApplication::beep(); }

}  // namespace quillomat::qtp
