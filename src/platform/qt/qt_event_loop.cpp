#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

namespace quillomat::qtp {

QtEventLoop::QtEventLoop() { clock_.start(); }

void QtEventLoop::PumpOnce(int max_wait_ms) {
  if (max_wait_ms <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // Block until something arrives or the wait is over; the timer bounds the wait.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(max_wait_ms);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

uint32_t QtEventLoop::TickCount() { return static_cast<uint32_t>(clock_.elapsed()); }

platform::LocalTime QtEventLoop::Now() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(),   d.month(),  d.day(),  t.hour(),
          t.minute(), t.second(), t.msec(), d.dayOfWeek() % 7};
}

void QtEventLoop::Post(const platform::PostedMessage& message) {
  QMetaObject::invokeMethod(
      this,
      [this, message] {
        if (handler_) handler_(message);
      },
      Qt::QueuedConnection);
}

void QtEventLoop::SetMessageHandler(platform::MessageHandler handler) {
  handler_ = std::move(handler);
}

}  // namespace quillomat::qtp
