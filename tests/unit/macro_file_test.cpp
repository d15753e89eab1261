#include "store/macro_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <random>

#include "macro_file_test_util.h"
#include "platform/local_time.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_message_boxes.h"
#include "startup/settings.h"
#include "store/macro_file_io.h"
#include "store/recent_files.h"

namespace quillomat {
namespace {

using store::LoadStatus;
using store::MacroRecord;
using testutil::Bytes;
using testutil::Concat;
using testutil::ReadBytes;
using testutil::WriteBytes;

constexpr int64_t kRec = store::kMacroRecordSize;

class MacroFileTest : public testing::Test {
 protected:
  // Boxes shown, as "title: text".
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : boxes_.shown()) out.push_back(b.title + ": " + b.text);
    return out;
  }
  void ExpectTablesHold(const std::vector<MacroRecord>& records) {
    ASSERT_EQ(index_->Count(), static_cast<int>(records.size()));
    ASSERT_EQ(hooks_.Shared().Count(), static_cast<int>(records.size()));
    for (int n = 1; n <= index_->Count(); ++n) {
      const MacroRecord& r = records[n - 1];
      SCOPED_TRACE("macro " + std::to_string(n));
      EXPECT_EQ(settings_->trigwords[n], r.trigword.Get());
      for (const store::SharedIndex* index :
           {static_cast<const store::SharedIndex*>(index_.get()), &hooks_.Shared()}) {
        EXPECT_EQ(index->Scope(n), r.scope.Get());
        EXPECT_EQ(index->ScopeName(n), r.scope_name.Get().substr(0, 20));
        EXPECT_EQ(index->Active(n), r.active != 0);
        EXPECT_EQ(index->Activation(n), r.activation.Get());
        EXPECT_EQ(index->TopMostOnly(n), r.top_most_only != 0);
      }
    }
  }

  testutil::TempDir dir_;
  std::unique_ptr<startup::SettingsRecord> settings_ = std::make_unique<startup::SettingsRecord>();
  std::unique_ptr<store::SharedIndex> index_ = std::make_unique<store::SharedIndex>();
  sim::SimHookLibrary hooks_;
  sim::SimMessageBoxes boxes_;
  sim::SimEventLoop loop_{{2026, 3, 14, 15, 9, 26, 0, 6}};
  store::MacroFile file_{*settings_, *index_, hooks_, boxes_, loop_};
};

TEST_F(MacroFileTest, EmptyOrMissingFileReceivesExactlyTheFourSystemMacros) {
  for (bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "zero-length file" : "missing file");
    const std::string path = dir_ / (exists ? "empty.qlx" : "new.qlx");
    if (exists) WriteBytes(path, {});
    hooks_.ClearCalls();

    EXPECT_EQ(file_.LoadMacroFile(path), exists ? LoadStatus::kLoaded : LoadStatus::kCreated);

    auto expected = testutil::SystemRecords();
    for (auto& r : expected) r.last_modified.Set(platform::ToDayCount(loop_.Now()));
    EXPECT_EQ(ReadBytes(path), Concat(expected));  // every other field zero
    ExpectTablesHold(expected);
    EXPECT_EQ(settings_->nicknames[1], "Activate Quillomat");
    EXPECT_EQ(settings_->nicknames[4], "Menu of Macros for Top Most Window");
    EXPECT_EQ(hooks_.Shared().Activation(1), 262);
    EXPECT_EQ(hooks_.Shared().ScopeName(3), "3");
    // Each item is published before the count that includes it.
    const std::vector<std::string> calls = {"QlxUpNumKeys", "QlxUpItem 1",  "QlxUpNumKeys",
                                            "QlxUpItem 2",  "QlxUpNumKeys", "QlxUpItem 3",
                                            "QlxUpNumKeys", "QlxUpItem 4",  "QlxUpNumKeys"};
    EXPECT_EQ(hooks_.calls(), calls);
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(file_.CurrentFile(), path);
    EXPECT_EQ(settings_->current_file, path);
  }
}

TEST_F(MacroFileTest, FileThatCannotBeCreatedLeavesNoMacrosAndTakesNoWrites) {
  ASSERT_EQ(file_.LoadMacroFile(dir_ / "x.qlx"), LoadStatus::kCreated);  // some tables to clear
  const std::string path = dir_ / "no-such-dir/m.qlx";
  EXPECT_EQ(file_.LoadMacroFile(path), LoadStatus::kCreateFailed);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error: New file could not be created."});
  EXPECT_EQ(hooks_.Shared().Count(), 0);
  EXPECT_TRUE(settings_->nicknames[1].empty());
  EXPECT_FALSE(file_.WriteMacro(-1, MacroRecord{}));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(MacroFileTest, LoadRestoresSystemNicknamesWithoutRewritingTheFile) {
  auto records = testutil::FileWithSystemMacros(2);
  records[1].nickname.Set("My capture key");
  records[5].nickname.Set("Mine");
  const std::string path = dir_ / "m.qlx";
  WriteBytes(path, Concat(records));

  EXPECT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoaded);
  EXPECT_EQ(settings_->nicknames[2], "Start / Stop Capture");
  EXPECT_EQ(settings_->nicknames[6], "Mine");
  EXPECT_EQ(ReadBytes(path), Concat(records));
  ExpectTablesHold(records);
}

TEST_F(MacroFileTest, MissingSystemMacrosAreAppendedInOrderAfterTheOthers) {
  std::mt19937 rng(7);
  std::vector<MacroRecord> records = {testutil::RandomRecord(rng), testutil::SystemRecord(3)};
  records[1].nickname.Set("renamed");
  const std::string path = dir_ / "m.qlx";
  WriteBytes(path, Concat(records));

  EXPECT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoaded);
  ASSERT_EQ(file_.Count(), 5);
  for (int n : {3, 4, 5}) {
    MacroRecord r;
    ASSERT_TRUE(file_.ReadMacro(n, r));
    EXPECT_EQ(r.scope_name.Get(), std::string(1, "124"[n - 3]));
  }
  EXPECT_EQ(settings_->nicknames[2], "Resume Pause");
  const Bytes after = ReadBytes(path);
  ASSERT_EQ(after.size(), 5u * kRec);
  EXPECT_EQ(Bytes(after.begin(), after.begin() + 2 * kRec), Concat(records));
}

TEST_F(MacroFileTest, ScopeNameIsPublishedAsItsFirst20Characters) {
  auto records = testutil::FileWithSystemMacros(0);
  MacroRecord window;
  window.scope.Set(store::kScopeWindow);
  window.scope_name.Set("Untitled - Notepad and friends");  // 30 characters
  records.push_back(window);
  WriteBytes(dir_ / "m.qlx", Concat(records));
  ASSERT_EQ(file_.LoadMacroFile(dir_ / "m.qlx"), LoadStatus::kLoaded);
  EXPECT_EQ(hooks_.Shared().ScopeName(5), "Untitled - Notepad a");
  EXPECT_EQ(index_->ScopeName(5), "Untitled - Notepad a");
}

TEST_F(MacroFileTest, WriteInPlaceChangesOnlyItsOwnRecord) {
  const auto records = testutil::FileWithSystemMacros(4);
  const std::string path = dir_ / "m.qlx";
  WriteBytes(path, Concat(records));
  ASSERT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoaded);
  hooks_.ClearCalls();

  MacroRecord changed;
  changed.nickname.Set("Signature");
  changed.trigword.Set("sig");
  changed.activation.Set(store::kTrigwordMacro);
  changed.scope.Set(store::kScopeProgram);
  changed.scope_name.Set("GEDIT");
  changed.top_most_only = 1;
  changed.SetText("Best regards<ENTER>");
  ASSERT_TRUE(file_.WriteMacro(6, changed));

  auto expected = records;
  expected[5] = changed;
  EXPECT_EQ(ReadBytes(path), Concat(expected));
  ExpectTablesHold(expected);
  EXPECT_EQ(settings_->nicknames[6], "Signature");
  EXPECT_EQ(hooks_.calls(), std::vector<std::string>{"QlxUpItem 6"});

  MacroRecord back;
  ASSERT_TRUE(file_.ReadMacro(6, back));
  EXPECT_EQ(testutil::ToBytes(back), testutil::ToBytes(changed));

  // Set-active flips one byte and nothing else.
  ASSERT_TRUE(file_.SetMacroActive(6, false));
  expected[5].active = 0;
  EXPECT_EQ(ReadBytes(path), Concat(expected));
  EXPECT_FALSE(hooks_.Shared().Active(6));
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MacroFileTest, AppendRaisesTheOneCountAndStopsAt500) {
  const std::string path = dir_ / "m.qlx";
  WriteBytes(path, Concat(testutil::FileWithSystemMacros(495)));
  ASSERT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoaded);
  MacroRecord added;
  added.nickname.Set("added");
  ASSERT_TRUE(file_.WriteMacro(-1, added));
  EXPECT_EQ(file_.Count(), 500);
  EXPECT_EQ(hooks_.Shared().Count(), 500);
  EXPECT_EQ(settings_->nicknames[500], "added");
  EXPECT_EQ(std::filesystem::file_size(path), 500u * kRec);

  EXPECT_FALSE(file_.WriteMacro(-1, added));  // the caller has already refused the user
  EXPECT_EQ(file_.Count(), 500);
  EXPECT_EQ(std::filesystem::file_size(path), 500u * kRec);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MacroFileTest, DeleteRemovesExactlyOneRecordAndKeepsPermissionsAndLinks) {
  const auto records = testutil::FileWithSystemMacros(3);  // 7 records
  for (int n : {1, 5, 7}) {
    SCOPED_TRACE("delete " + std::to_string(n));
    const std::string real = dir_ / ("real" + std::to_string(n) + ".qlx");
    const std::string link = dir_ / ("link" + std::to_string(n) + ".qlx");
    Bytes before = Concat(records);
    before.insert(before.end(), {1, 2, 3});  // an incomplete record stays at the end
    WriteBytes(real, before);
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, link);
    file_.LoadMacroFile(link);

    ASSERT_TRUE(file_.DeleteMacro(n));
    Bytes after = before;
    after.erase(after.begin() + (n - 1) * kRec, after.begin() + n * kRec);
    EXPECT_EQ(ReadBytes(real), after);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    struct stat st {};
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
  }
  EXPECT_FALSE(file_.DeleteMacro(0));
  EXPECT_FALSE(file_.DeleteMacro(7));  // the last file now holds 6
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 6);
}

TEST_F(MacroFileTest, RecordsBeyond500AreKeptAndReportedOnce) {
  const auto records = testutil::FileWithSystemMacros(502);  // 506 records
  const std::string path = dir_ / "big.qlx";
  WriteBytes(path, Concat(records));

  EXPECT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoadedPart);
  ASSERT_EQ(boxes_.shown().size(), 1u);
  EXPECT_EQ(boxes_.shown()[0].title, "Warning");
  EXPECT_NE(boxes_.shown()[0].text.find("506 macros"), std::string::npos);
  ExpectTablesHold({records.begin(), records.begin() + 500});
  EXPECT_EQ(ReadBytes(path), Concat(records));

  ASSERT_TRUE(file_.DeleteMacro(10));
  auto expected = records;
  expected.erase(expected.begin() + 9);
  EXPECT_EQ(ReadBytes(path), Concat(expected));
  EXPECT_EQ(file_.ReloadMacroFile(), LoadStatus::kLoadedPart);
  ExpectTablesHold({expected.begin(), expected.begin() + 500});
  EXPECT_EQ(boxes_.shown().size(), 1u);  // not told again
}

TEST_F(MacroFileTest, IncompleteLastRecordIsReportedAndNeverOverwritten) {
  struct Case {
    int complete;  // complete records before the incomplete one
    int tail;
  };
  for (const Case c : {Case{5, 100}, Case{0, 5164}}) {
    SCOPED_TRACE(std::to_string(c.complete) + " records");
    boxes_.Clear();
    const std::string path = dir_ / ("partial" + std::to_string(c.complete) + ".qlx");
    const auto records =
        c.complete ? testutil::FileWithSystemMacros(c.complete - 4) : std::vector<MacroRecord>{};
    Bytes bytes = Concat(records);
    for (int i = 0; i < c.tail; ++i) bytes.push_back(static_cast<uint8_t>(i * 7));
    WriteBytes(path, bytes);

    EXPECT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoadedPart);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].title, "Warning");
    EXPECT_NE(boxes_.shown()[0].text.find("incomplete macro (" + std::to_string(c.tail)),
              std::string::npos);
    ExpectTablesHold(records);
    EXPECT_EQ(ReadBytes(path), bytes);  // no system macros appended over the tail

    EXPECT_FALSE(file_.WriteMacro(-1, MacroRecord{}));
    EXPECT_EQ(boxes_.shown().back().text, "Saving of keystrokes failed.");
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(file_.Count(), c.complete);

    if (c.complete == 0) continue;
    MacroRecord changed = records.back();
    changed.nickname.Set("changed");
    ASSERT_TRUE(file_.WriteMacro(c.complete, changed));
    ASSERT_TRUE(file_.DeleteMacro(1));
    auto kept = records;
    kept.back() = changed;
    kept.erase(kept.begin());
    Bytes expected = Concat(kept);
    expected.insert(expected.end(), bytes.end() - c.tail, bytes.end());
    EXPECT_EQ(ReadBytes(path), expected);
  }
}

TEST_F(MacroFileTest, UnreadableFileIsNeverCreatedAnewOrWritten) {
  struct Case {
    const char* name;
    void (*make)(const std::string& path);
  };
  const Case cases[] = {
      {"directory", [](const std::string& p) { std::filesystem::create_directory(p); }},
      {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }},
      {"no read permission",
       [](const std::string& p) {
         WriteBytes(p, Concat(testutil::FileWithSystemMacros(1)));
         ::chmod(p.c_str(), 0200);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.name) == "no read permission" && ::geteuid() == 0) {
      continue;  // permissions do not bind root
    }
    const std::string path = dir_ / c.name;
    c.make(path);
    file_.LoadMacroFile(dir_ / "good.qlx");
    ASSERT_TRUE(file_.Writable());
    boxes_.Clear();
    struct stat before {};
    ::lstat(path.c_str(), &before);

    EXPECT_EQ(file_.LoadMacroFile(path), LoadStatus::kUnreadable);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].title, "Error");
    EXPECT_NE(boxes_.shown()[0].text.find("could not be read"), std::string::npos);
    EXPECT_EQ(hooks_.Shared().Count(), 0);
    EXPECT_FALSE(file_.Writable());
    EXPECT_FALSE(file_.WriteMacro(-1, MacroRecord{}));
    EXPECT_FALSE(file_.DeleteMacro(1));
    EXPECT_FALSE(file_.SetMacroActive(1, true));
    EXPECT_FALSE(file_.EnsureSystemMacros());
    struct stat after {};
    ::lstat(path.c_str(), &after);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  }
  // A readable file makes writing possible again.
  EXPECT_EQ(file_.LoadMacroFile(dir_ / "good.qlx"), LoadStatus::kLoaded);
  EXPECT_TRUE(file_.WriteMacro(-1, MacroRecord{}));
}

TEST_F(MacroFileTest, FailedWritesChangeNothingAndSaySo) {
  const auto records = testutil::FileWithSystemMacros(1);
  const std::string path = dir_ / "m.qlx";
  WriteBytes(path, Concat(records));
  ASSERT_EQ(file_.LoadMacroFile(path), LoadStatus::kLoaded);
  hooks_.ClearCalls();
  MacroRecord added;
  added.nickname.Set("added");

  // The disk fills in the middle of the record: the partial record is taken back.
  struct rlimit old_limit {};
  ::getrlimit(RLIMIT_FSIZE, &old_limit);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 5 * kRec + 1000;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const bool appended = file_.WriteMacro(-1, added);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(appended);
  EXPECT_EQ(ReadBytes(path), Concat(records));

  // The file is gone: in place and append both refused.
  std::filesystem::remove(path);
  EXPECT_FALSE(file_.WriteMacro(5, added));
  EXPECT_FALSE(file_.WriteMacro(-1, added));
  EXPECT_FALSE(std::filesystem::exists(path));

  EXPECT_EQ(Boxes(), std::vector<std::string>(3, "Error: Saving of keystrokes failed."));
  EXPECT_TRUE(hooks_.calls().empty());
  ExpectTablesHold(records);
  EXPECT_EQ(settings_->nicknames[5], records[4].nickname.Get());

  MacroRecord untouched = added;
  EXPECT_FALSE(file_.ReadMacro(5, untouched));
  EXPECT_EQ(testutil::ToBytes(untouched), testutil::ToBytes(added));
}

TEST_F(MacroFileTest, OpenSaveFileSwitchesFilesAndRotatesTheRecentList) {
  const std::string a = dir_ / "a.qlx", b = dir_ / "b.qlx";
  WriteBytes(b, Concat(testutil::FileWithSystemMacros(2)));
  ASSERT_EQ(file_.LoadMacroFile(a), LoadStatus::kCreated);
  settings_->last_files = {b, "x", "y", "", ""};

  EXPECT_FALSE(file_.OpenSaveFile(dir_ / "missing.qlx"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error: File does not exist."});
  EXPECT_EQ(file_.CurrentFile(), a);
  EXPECT_EQ(file_.Count(), 4);
  EXPECT_EQ(settings_->last_files, (store::RecentFiles{b, "x", "y", "", ""}));

  EXPECT_TRUE(file_.OpenSaveFile(b));
  EXPECT_EQ(file_.CurrentFile(), b);
  EXPECT_EQ(file_.Count(), 6);
  EXPECT_EQ(settings_->last_files, (store::RecentFiles{a, "x", "y", "", ""}));
}

TEST(RecentFiles, Rotation) {
  using store::RecentFiles;
  struct Case {
    RecentFiles before;
    std::string previous, opened;
    RecentFiles after;
  };
  const Case cases[] = {
      // Opening the first entry puts the previous file in its place; the rest stay.
      {{"A", "B", "C", "D", "E"}, "X", "A", {"X", "B", "C", "D", "E"}},
      // An entry from the middle leaves; the entries above it move down.
      {{"A", "B", "C", "D", "E"}, "X", "C", {"X", "A", "B", "D", "E"}},
      // A new name: the last entry drops off.
      {{"A", "B", "C", "D", "E"}, "X", "Y", {"X", "A", "B", "C", "D"}},
      // Re-opening the current file puts it on top.
      {{"A", "B", "", "", ""}, "X", "X", {"X", "A", "B", "", ""}},
      // Names are compared exactly.
      {{"a.qlx", "", "", "", ""}, "X", "A.QLX", {"X", "a.qlx", "", "", ""}},
      // The previous file is listed once only.
      {{"A", "X", "B", "", ""}, "X", "C", {"X", "A", "B", "", ""}},
      // No previous file: nothing is added.
      {{"A", "B", "", "", ""}, "", "B", {"A", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    RecentFiles files = c.before;
    store::DoLastFiles(files, c.previous, c.opened);
    EXPECT_EQ(files, c.after) << c.previous << " -> " << c.opened;
  }
}

}  // namespace
}  // namespace quillomat
