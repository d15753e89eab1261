#include "platform/posix/posix_event_loop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quillomat {
namespace {

TEST(PosixEventLoop, MessagesFromAnotherThreadWakeAWaitAndArriveInOrder) {
  posix::PosixEventLoop loop;
  std::vector<uint32_t> seen;
  loop.SetMessageHandler([&](const platform::PostedMessage& m) { seen.push_back(m.message); });
  std::thread poster([&] {
    for (uint32_t i = 1; i <= 3; ++i) loop.Post({i, 0, 0});
  });
  poster.join();
  const uint32_t before = loop.TickCount();
  loop.PumpOnce(10000);  // returns at once: messages are pending
  EXPECT_LT(loop.TickCount() - before, 5000u);
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 3}));

  const uint32_t start = loop.TickCount();
  loop.PumpOnce(30);  // nothing arrives: the whole wait passes
  EXPECT_GE(loop.TickCount() - start, 30u);
}

}  // namespace
}  // namespace quillomat
