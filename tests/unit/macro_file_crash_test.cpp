// A delete killed at any moment leaves the macro file as it was before or after it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>

#include "macro_file_test_util.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_message_boxes.h"
#include "startup/settings.h"
#include "store/macro_file.h"

namespace quillomat {
namespace {

using Clock = std::chrono::steady_clock;
using testutil::Bytes;

constexpr int kRecords = 300;
constexpr int kDeleted = 150;
constexpr int kKills = 200;

struct Store {
  std::unique_ptr<startup::SettingsRecord> settings = std::make_unique<startup::SettingsRecord>();
  std::unique_ptr<store::SharedIndex> index = std::make_unique<store::SharedIndex>();
  sim::SimHookLibrary hooks;
  sim::SimMessageBoxes boxes;
  sim::SimEventLoop loop;
  store::MacroFile file{*settings, *index, hooks, boxes, loop};
};

int RemoveTemporaryFiles(const std::string& dir) {
  int removed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().filename().string().starts_with(".qlx-tmp-")) {
      std::filesystem::remove(entry.path());
      ++removed;
    }
  }
  return removed;
}

void BusyWait(Clock::duration d) {
  const auto until = Clock::now() + d;
  while (Clock::now() < until) {
  }
}

TEST(MacroFileCrash, KilledDeleteLeavesTheFileBeforeOrAfter) {
  testutil::TempDir dir;
  const std::string path = dir / "crash.qlx";
  const Bytes before = testutil::Concat(testutil::FileWithSystemMacros(kRecords - 4, 42));
  Bytes after = before;
  after.erase(after.begin() + (kDeleted - 1) * store::kMacroRecordSize,
              after.begin() + kDeleted * store::kMacroRecordSize);

  // How long one delete takes here, so that the kills spread over the whole of it.
  std::vector<Clock::duration> times;
  for (int i = 0; i < 5; ++i) {
    testutil::WriteBytes(path, before);
    Store s;
    ASSERT_EQ(s.file.LoadMacroFile(path), store::LoadStatus::kLoaded);
    const auto start = Clock::now();
    ASSERT_TRUE(s.file.DeleteMacro(kDeleted));
    times.push_back(Clock::now() - start);
    ASSERT_EQ(testutil::ReadBytes(path), after);
  }
  std::sort(times.begin(), times.end());
  const auto delete_time = times[times.size() / 2];
  const auto deadline = Clock::now() + std::chrono::seconds(15);

  std::mt19937 rng(20261211);
  std::uniform_int_distribution<int64_t> delay_ns(
      0, std::chrono::duration_cast<std::chrono::nanoseconds>(delete_time).count() * 5 / 4);
  int not_started = 0, during_before = 0, during_after = 0, finished = 0, temporaries = 0;
  int kills = 0;
  for (; kills < kKills && Clock::now() < deadline; ++kills) {
    testutil::WriteBytes(path, before);
    int to_parent[2], to_child[2];
    ASSERT_EQ(::pipe(to_parent), 0);
    ASSERT_EQ(::pipe(to_child), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Store s;
      if (s.file.LoadMacroFile(path) != store::LoadStatus::kLoaded) ::_exit(3);
      ::write(to_parent[1], "R", 1);
      const bool ok = s.file.DeleteMacro(kDeleted);
      ::write(to_parent[1], ok ? "D" : "F", 1);
      char c;
      ::read(to_child[0], &c, 1);  // wait to be killed
      ::_exit(0);
    }
    ::close(to_parent[1]);
    ::close(to_child[0]);
    char c = 0;
    ASSERT_EQ(::read(to_parent[0], &c, 1), 1);
    ASSERT_EQ(c, 'R');
    BusyWait(std::chrono::nanoseconds(delay_ns(rng)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const bool done = ::read(to_parent[0], &c, 1) == 1;
    ASSERT_TRUE(!done || c == 'D');
    ::close(to_parent[0]);
    ::close(to_child[1]);

    const Bytes now = testutil::ReadBytes(path);
    const bool is_before = now == before;
    ASSERT_TRUE(is_before || now == after) << "kill " << kills << " left a mixed file";
    const int leftovers = RemoveTemporaryFiles(dir.path());
    temporaries += leftovers;
    if (done) {
      ASSERT_FALSE(is_before);
      ++finished;
    } else if (is_before && leftovers == 0) {
      ++not_started;  // killed before the delete wrote anything
    } else {
      ++(is_before ? during_before : during_after);
    }
  }
  std::cout << "delete of record " << kDeleted << " of " << kRecords << " takes "
            << std::chrono::duration_cast<std::chrono::microseconds>(delete_time).count() << " us; "
            << kills << " kills: " << not_started << " before any write, "
            << during_before + during_after << " during (file as before: " << during_before
            << ", as after: " << during_after << "), " << finished << " after it finished; "
            << temporaries << " temporary files left\n";
  EXPECT_GE(kills, 50);
  EXPECT_GT(during_before, 0) << "no kill landed while the new file was being written";
}

}  // namespace
}  // namespace quillomat
