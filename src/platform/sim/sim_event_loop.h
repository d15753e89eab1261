#pragma once

#include <cstdint>
#include <deque>
#include <map>

#include "platform/event_loop.h"

namespace quillomat::sim {

// An event loop on virtual time: a wait advances the clock at once and delivers any message
// scheduled inside it, so tests read back exactly what happened at which moment.
class SimEventLoop : public platform::EventLoop {
 public:
  explicit SimEventLoop(platform::LocalTime start = {2026, 1, 5, 9, 0, 0, 0, 1});

  void PumpOnce(int max_wait_ms) override;
  uint32_t TickCount() override { return static_cast<uint32_t>(elapsed_ms_); }
  platform::LocalTime Now() override;
  void Post(const platform::PostedMessage& message) override;
  void SetMessageHandler(platform::MessageHandler handler) override;

  // Delivers the message when virtual time reaches at_ms (milliseconds since the start).
  void PostAt(int64_t at_ms, const platform::PostedMessage& message);
  void Advance(int64_t ms);
  int64_t ElapsedMs() const { return elapsed_ms_; }
  // Sets the wall clock; the tick counter keeps running.
  void SetNow(const platform::LocalTime& now);

 private:
  void Deliver(const platform::PostedMessage& message);

  platform::LocalTime start_;
  double start_days_;
  int64_t elapsed_ms_ = 0;
  int64_t wall_offset_ms_ = 0;
  std::deque<platform::PostedMessage> pending_;
  std::multimap<int64_t, platform::PostedMessage> scheduled_;
  platform::MessageHandler handler_;
};

}  // namespace quillomat::sim
