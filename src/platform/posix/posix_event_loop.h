#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/event_loop.h"

namespace quillomat::posix {

// An event loop for a program without widgets (qlx): posted messages queue up and are handled
// on the thread that pumps; a wait sleeps until a message arrives or the time is up.
class PosixEventLoop : public platform::EventLoop {
 public:
  PosixEventLoop();

  void PumpOnce(int max_wait_ms) override;
  uint32_t TickCount() override;
  platform::LocalTime Now() override;
  void Post(const platform::PostedMessage& message) override;
  void SetMessageHandler(platform::MessageHandler handler) override;

 private:
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<platform::PostedMessage> pending_;
  platform::MessageHandler handler_;
};

}  // namespace quillomat::posix
