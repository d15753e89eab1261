#pragma once

#include <cstdint>
#include <functional>

#include "platform/local_time.h"

namespace quillomat::platform {

// A message posted to the program's main window from another thread (the hook library's
// monitor) or from the program itself; handled on the GUI thread in the order posted.
struct PostedMessage {
  uint32_t message = 0;
  uint32_t wparam = 0;
  int64_t lparam = 0;

  bool operator==(const PostedMessage&) const = default;
};

using MessageHandler = std::function<void(const PostedMessage&)>;

// The GUI thread's message pump and clocks. Waits in the core loop over the clocks but block
// in PumpOnce for the time that remains, so a long wait costs no processor.
class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Handles whatever is pending (posted messages, timers, window events), waiting at most
  // max_wait_ms for something to arrive. 0 handles what is pending and returns at once.
  virtual void PumpOnce(int max_wait_ms) = 0;

  // Milliseconds since some fixed moment; wraps like a 32-bit tick counter.
  virtual uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;

  // Thread-safe: queues a message for the handler, which runs on the GUI thread.
  virtual void Post(const PostedMessage& message) = 0;
  virtual void SetMessageHandler(MessageHandler handler) = 0;
};

}  // namespace quillomat::platform
