#include "platform/sim/sim_event_loop.h"

#include <cmath>

namespace quillomat::sim {

SimEventLoop::SimEventLoop(platform::LocalTime start)
    : start_(start), start_days_(platform::ToDayCount(start)) {}

platform::LocalTime SimEventLoop::Now() {
  return platform::FromDayCount(start_days_ + (elapsed_ms_ + wall_offset_ms_) / 86400000.0);
}

void SimEventLoop::SetNow(const platform::LocalTime& now) {
  wall_offset_ms_ =
      std::llround((platform::ToDayCount(now) - start_days_) * 86400000.0) - elapsed_ms_;
}

void SimEventLoop::Post(const platform::PostedMessage& message) { pending_.push_back(message); }

void SimEventLoop::SetMessageHandler(platform::MessageHandler handler) {
  handler_ = std::move(handler);
}

void SimEventLoop::PostAt(int64_t at_ms, const platform::PostedMessage& message) {
  scheduled_.emplace(at_ms, message);
}

void SimEventLoop::Deliver(const platform::PostedMessage& message) {
  if (handler_) handler_(message);
}

void SimEventLoop::PumpOnce(int max_wait_ms) {
  if (pending_.empty() && max_wait_ms > 0) {
    // Wait until the first scheduled message inside the wait, or the wait's end.
    const int64_t until = elapsed_ms_ + max_wait_ms;
    auto first = scheduled_.begin();
    elapsed_ms_ = (first != scheduled_.end() && first->first < until)
                      ? std::max(elapsed_ms_, first->first)
                      : until;
  }
  while (!scheduled_.empty() && scheduled_.begin()->first <= elapsed_ms_) {
    pending_.push_back(scheduled_.begin()->second);
    scheduled_.erase(scheduled_.begin());
  }
  while (!pending_.empty()) {
    auto message = pending_.front();
    pending_.pop_front();
    Deliver(message);
  }
}

void SimEventLoop::Advance(int64_t ms) {
  const int64_t until = elapsed_ms_ + ms;
  while (elapsed_ms_ < until) PumpOnce(static_cast<int>(until - elapsed_ms_));
}

}  // namespace quillomat::sim
