#include "store/hot_key_flags.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_hook_library.h"
#include "store/hotkey_catalogue.h"

namespace quillomat::store {
namespace {

class HotKeyFlagsTest : public ::testing::Test {
 protected:
  // Stores a macro at the next macro number, as loading a file does.
  int Add(uint16_t activation, bool active, uint16_t scope = kScopeGlobal,
          const std::string& scope_name = "") {
    MacroRecord record;
    record.activation.Set(activation);
    record.active = active ? 1 : 0;
    record.scope.Set(scope);
    record.scope_name.Set(scope_name);
    const int n = index_->Count() + 1;
    index_->SetItem(n, record);
    index_->SetCount(n);
    return n;
  }
  const uint8_t* Working() const { return reinterpret_cast<const uint8_t*>(index_.get()); }
  const uint8_t* Published() const { return reinterpret_cast<const uint8_t*>(&hooks_.Shared()); }
  bool SameBytes(size_t offset, size_t size) const {
    return std::memcmp(Working() + offset, Published() + offset, size) == 0;
  }

  std::unique_ptr<SharedIndex> index_ = std::make_unique<SharedIndex>();
  sim::SimHookLibrary hooks_;
};

TEST_F(HotKeyFlagsTest, FlagStaysWhileAnyMacroOnTheHotKeyIsActive) {
  const int hot_key = HotKeyIndex("Ctrl+Alt+Q");
  const int global = Add(hot_key, true);
  const int window = Add(hot_key, true, kScopeWindow, "Notepad");
  Add(kTimedMacro, true);
  struct Case {
    bool global_active, window_active, flag;
  };
  for (const Case& c :
       {Case{true, true, true}, {false, true, true}, {true, false, true}, {false, false, false}}) {
    index_->SetActive(global, c.global_active);
    index_->SetActive(window, c.window_active);
    hooks_.ClearCalls();
    SetHotKeys(*index_, hooks_);
    EXPECT_EQ(index_->hot_key_in_use[hot_key], c.flag ? 1 : 0);
    EXPECT_EQ(hooks_.Shared().hot_key_in_use[hot_key], c.flag ? 1 : 0);
    int set = 0;
    for (uint8_t f : index_->hot_key_in_use) set += f;
    EXPECT_EQ(set, c.flag ? 1 : 0);
    EXPECT_EQ(hooks_.calls(), (std::vector<std::string>{"QlxUpKeys", "QlxUpShort"}));
  }
}

TEST_F(HotKeyFlagsTest, TrigwordsPresentCountsInactiveTrigwordMacros) {
  Add(HotKeyIndex("Ctrl+A"), true);
  SetHotKeys(*index_, hooks_);
  EXPECT_EQ(hooks_.Shared().trigwords_present, 0);

  const int trigword = Add(kTrigwordMacro, false);
  SetHotKeys(*index_, hooks_);
  EXPECT_EQ(hooks_.Shared().trigwords_present, 1);
  EXPECT_EQ(hooks_.Shared().hot_key_in_use[HotKeyIndex("Ctrl+A")], 1);

  // Gone again once the count no longer covers it.
  index_->SetCount(trigword - 1);
  SetHotKeys(*index_, hooks_);
  EXPECT_EQ(hooks_.Shared().trigwords_present, 0);
}

TEST_F(HotKeyFlagsTest, ActivationOutsideTheCatalogueSetsNoFlag) {
  Add(kTimedMacro, true);
  Add(kCatalogueSize, true);  // damaged record
  Add(9999, true);
  SetHotKeys(*index_, hooks_);
  for (uint8_t f : hooks_.Shared().hot_key_in_use) EXPECT_EQ(f, 0);
  EXPECT_EQ(hooks_.Shared().capture_on, 0);  // the byte after the flags
}

TEST_F(HotKeyFlagsTest, SharedCopyEqualsThePublishedPartsOfTheWorkingCopy) {
  Add(HotKeyIndex("F5"), true);
  Add(kTrigwordMacro, true);
  index_->capture_on = 1;
  index_->capture_keys = 1;
  index_->stop_key_code.Set(27);
  SetHotKeys(*index_, hooks_);
  UpNumKeys(*index_, hooks_);
  UpCapture(*index_, hooks_);
  UpCaptureOn(*index_, hooks_);
  SetSecWind(*index_, hooks_, 0x2a0001, true);
  SetRunningPrograms(*index_, hooks_, "gedit", {"GEDIT", "XTERM"});
  EXPECT_EQ(hooks_.calls(), (std::vector<std::string>{"QlxUpKeys", "QlxUpShort", "QlxUpNumKeys",
                                                      "QlxUpCapture", "QlxUpCaptureOn",
                                                      "QlxUpWindow2", "QlxUpProg", "QlxUpProgs"}));
  // Everything but the per-macro arrays, which only QlxUpItem publishes.
  EXPECT_TRUE(SameBytes(0, offsetof(SharedIndex, scopes)));
  EXPECT_TRUE(
      SameBytes(offsetof(SharedIndex, count), kSharedIndexSize - offsetof(SharedIndex, count)));
  EXPECT_EQ(hooks_.Shared().Count(), 2);
  EXPECT_EQ(hooks_.Shared().capture_on, 1);
  EXPECT_EQ(hooks_.Shared().stop_key_code.Get(), 27u);
  EXPECT_EQ(hooks_.Shared().top_program.Get(), "GEDIT");
}

TEST_F(HotKeyFlagsTest, SecondWindowFlagIsStoredAsOneOrZero) {
  SetSecWind(*index_, hooks_, 0x1234, true);
  EXPECT_EQ(Published()[752], 0x34);
  EXPECT_EQ(Published()[753], 0x12);
  EXPECT_EQ(Published()[756], 1);
  SetSecWind(*index_, hooks_, 0x1234, false);
  EXPECT_EQ(Published()[756], 0);
  EXPECT_EQ(hooks_.Shared().second_window.Get(), 0x1234u);
}

// Element N of each per-macro array sits at base + size * N in the published bytes.
TEST_F(HotKeyFlagsTest, PerMacroEntriesSitAtTheirOffsets) {
  const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  for (int n : {1, 500}) {
    MacroRecord record;
    record.scope.Set(kScopeProgram);
    record.scope_name.Set(thirty);
    record.active = 1;
    record.activation.Set(0x0102);
    record.top_most_only = 1;
    index_->SetItem(n, record);
    hooks_.QlxUpItem(*index_, n);
    const uint8_t* b = Published();
    EXPECT_EQ(b[790 + 2 * n], kScopeProgram) << n;
    EXPECT_EQ(b[790 + 2 * n + 1], 0) << n;
    EXPECT_EQ(b[1771 + 21 * n], 20) << n;  // the scope name's first 20 characters
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 1771 + 21 * n + 1), 20),
              thirty.substr(0, 20))
        << n;
    EXPECT_EQ(b[12291 + n], 1) << n;
    EXPECT_EQ(b[12790 + 2 * n], 0x02) << n;
    EXPECT_EQ(b[12790 + 2 * n + 1], 0x01) << n;
    EXPECT_EQ(b[13791 + n], 1) << n;
    EXPECT_EQ(hooks_.Shared().ScopeName(n), thirty.substr(0, 20));
  }
  // Nothing spilled into the fields around the arrays.
  EXPECT_EQ(Published()[791], 0);
  EXPECT_EQ(hooks_.Shared().Count(), 0);
}

TEST_F(HotKeyFlagsTest, RunningProgramListHoldsTheFirst200UpperCase) {
  std::vector<std::string> running;
  for (int k = 1; k <= 201; ++k) running.push_back("prog" + std::to_string(k) + ".bin");
  running[0] = "a-very-long-program-name-cut-here";
  SetRunningPrograms(*index_, hooks_, std::string(260, 'x'), running);
  const SharedIndex& shared = hooks_.Shared();
  EXPECT_EQ(shared.running_program_count.Get(), 200u);
  EXPECT_EQ(shared.running_programs[0].Get(), "A-VERY-LONG-PROGRAM-NAME-");
  EXPECT_EQ(shared.running_programs[199].Get(), "PROG200.BIN");
  EXPECT_EQ(shared.top_program.Get(), std::string(250, 'X'));
  // Running program K = 200 ends the block.
  EXPECT_EQ(Published()[14528 + 26 * 200], 11);
  EXPECT_EQ(offsetof(SharedIndex, running_programs) + 26 * 200, kSharedIndexSize);

  // A shorter list leaves no stale names behind.
  SetRunningPrograms(*index_, hooks_, "", {"XTERM"});
  EXPECT_EQ(shared.running_program_count.Get(), 1u);
  EXPECT_EQ(shared.running_programs[1].Get(), "");
  EXPECT_EQ(shared.top_program.Get(), "");
}

}  // namespace
}  // namespace quillomat::store
