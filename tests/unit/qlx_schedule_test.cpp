// qlx schedule through the built binary.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "activation/scheduler.h"
#include "macro_file_test_util.h"

namespace quillomat {
namespace {

struct Result {
  int code = -1;
  std::string out, err;
};

Result Qlx(const testutil::TempDir& dir, const std::string& args) {
  const std::string out = dir / "stdout", err = dir / "stderr";
  const std::string command =
      "'" + std::string(QLX_PATH) + "' " + args + " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto o = testutil::ReadBytes(out), e = testutil::ReadBytes(err);
  r.out.assign(o.begin(), o.end());
  r.err.assign(e.begin(), e.end());
  return r;
}

store::MacroRecord Timed(const std::string& nickname, bool active) {
  store::MacroRecord r;
  r.nickname.Set(nickname);
  r.activation.Set(store::kTimedMacro);
  r.scope.Set(store::kScopeGlobal);
  r.active = active ? 1 : 0;
  activation::DefaultTimer(r, {2026, 1, 5, 9, 0, 0, 0, 1});
  return r;
}

TEST(QlxSchedule, ListsTheTimedMacrosAndLeavesTheFileAlone) {
  testutil::TempDir dir;
  auto every = Timed("Backup \xE9", false);
  every.schedule_kind.Set(store::kEveryMinutes);
  every.interval.Set(20);
  auto trigword = Timed("Signature", true);
  trigword.activation.Set(store::kTrigwordMacro);
  const auto bytes =
      testutil::Concat({testutil::SystemRecord(1), Timed("Standup", true), trigword, every});
  const std::string file = dir / "work.qlx";
  testutil::WriteBytes(file, bytes);

  const Result r = Qlx(dir, "schedule '" + file + "'");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "2\tStandup\tDaily at 12:00PM,Sun,Mon,Tue,Wed,Thu,Fri,Sat\n"
            "4\tBackup \xC3\xA9\tevery 20 minutes\n");
  EXPECT_EQ(testutil::ReadBytes(file), bytes);
}

TEST(QlxSchedule, UsageAndErrors) {
  testutil::TempDir dir;
  EXPECT_EQ(Qlx(dir, "schedule --help").code, 0);
  EXPECT_EQ(Qlx(dir, "schedule").code, 2);
  EXPECT_EQ(Qlx(dir, "schedule a b").code, 2);
  const std::string missing = dir / "missing.qlx";
  const Result r = Qlx(dir, "schedule '" + missing + "'");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("missing.qlx"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace quillomat
