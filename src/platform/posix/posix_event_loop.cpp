#include "platform/posix/posix_event_loop.h"

#include <ctime>

namespace quillomat::posix {

PosixEventLoop::PosixEventLoop() : start_(std::chrono::steady_clock::now()) {}

void PosixEventLoop::PumpOnce(int max_wait_ms) {
  std::deque<platform::PostedMessage> ready;
  {
    std::unique_lock lock(mutex_);
    if (pending_.empty() && max_wait_ms > 0) {
      arrived_.wait_for(lock, std::chrono::milliseconds(max_wait_ms),
                        [this] { return !pending_.empty(); });
    }
    ready.swap(pending_);
  }
  for (const auto& message : ready) {
    if (handler_) handler_(message);
  }
}

uint32_t PosixEventLoop::TickCount() {
  const auto elapsed = std::chrono::steady_clock::now() - start_;
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

platform::LocalTime PosixEventLoop::Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  return {tm.tm_year + 1900,
          tm.tm_mon + 1,
          tm.tm_mday,
          tm.tm_hour,
          tm.tm_min,
          tm.tm_sec,
          static_cast<int>(ms.count()),
          tm.tm_wday};
}

void PosixEventLoop::Post(const platform::PostedMessage& message) {
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(message);
  }
  arrived_.notify_one();
}

void PosixEventLoop::SetMessageHandler(platform::MessageHandler handler) {
  handler_ = std::move(handler);
}

}  // namespace quillomat::posix
