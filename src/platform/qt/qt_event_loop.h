#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "platform/event_loop.h"

namespace quillomat::qtp {

// The GUI thread's Qt event loop as the core sees it. Posted messages are queued events of
// a receiver object that lives on the GUI thread, so they arrive in order and never run on
// the thread that posted them.
class QtEventLoop : public QObject, public platform::EventLoop {
  Q_OBJECT

 public:
  QtEventLoop();

  void PumpOnce(int max_wait_ms) override;
  uint32_t TickCount() override;
  platform::LocalTime Now() override;
  void Post(const platform::PostedMessage& message) override;
  void SetMessageHandler(platform::MessageHandler handler) override;

 private:
  QElapsedTimer clock_;
  platform::MessageHandler handler_;
};

}  // namespace quillomat::qtp
