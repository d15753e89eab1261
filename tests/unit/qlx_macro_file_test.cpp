// qlx list, dump and load, through the built binary.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "macro_file_test_util.h"
#include "store/hotkey_catalogue.h"
#include "store/macro_file_io.h"

namespace quillomat {
namespace {

using store::MacroRecord;
using testutil::Bytes;

struct Result {
  int code = -1;
  std::string out, err;
};

std::string Quote(const std::string& s) { return "'" + s + "'"; }

Result Qlx(const testutil::TempDir& dir, const std::string& args) {
  const std::string out = dir / "stdout", err = dir / "stderr";
  const int status =
      std::system((Quote(QLX_PATH) + " " + args + " >" + Quote(out) + " 2>" + Quote(err)).c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const Bytes o = testutil::ReadBytes(out), e = testutil::ReadBytes(err);
  r.out.assign(o.begin(), o.end());
  r.err.assign(e.begin(), e.end());
  return r;
}

// The record as the program reads it: the values of its fields, with every byte that carries
// no meaning (after a string's characters, after the text's NUL, after the menu items) zero.
MacroRecord Significant(const MacroRecord& r) {
  MacroRecord c;
  c.nickname.Set(r.nickname.Get());
  c.scope_name.Set(r.scope_name.Get());
  c.trigword.Set(r.trigword.Get());
  c.activation = r.activation;
  c.scope = r.scope;
  c.active = r.active;
  std::copy(std::begin(r.reserved1), std::end(r.reserved1), c.reserved1);
  if (r.scope.Get() == store::kScopePopupMenu) {
    c.SetMenuItems(r.MenuItems());
  } else {
    c.SetText(r.Text());
  }
  c.icon_name.Set(r.icon_name.Get());
  c.schedule_kind = r.schedule_kind;
  std::copy(std::begin(r.day_flags), std::end(r.day_flags), c.day_flags);
  c.hour = r.hour;
  c.minute = r.minute;
  c.month = r.month;
  c.day_of_month = r.day_of_month;
  c.minute_past_hour = r.minute_past_hour;
  c.interval = r.interval;
  c.day_of_week = r.day_of_week;
  c.year = r.year;
  c.pm = r.pm;
  c.top_most_only = r.top_most_only;
  c.last_modified = r.last_modified;
  std::copy(std::begin(r.reserved2), std::end(r.reserved2), c.reserved2);
  return c;
}

std::vector<MacroRecord> OddFixture() {
  std::vector<MacroRecord> records = {testutil::SystemRecord(1)};

  MacroRecord odd;
  odd.nickname.Set("Caf\xE9 \x80 \x9F \"quoted\" back\\slash");
  odd.scope_name.Set("C:\\Temp\\a\tb");
  odd.scope.Set(store::kScopeWindow);
  odd.activation.Set(store::kTimedMacro);
  odd.active = 0;
  odd.reserved1[0] = 0xAB;
  odd.reserved1[1] = 0x01;
  odd.SetText("Dear \xC9mile,\r\n\x01\x1B\x7F\xFF<ENTER>\r\n\tindented\n# not a comment\r\n");
  odd.icon_name.Set("MAIN");
  odd.schedule_kind.Set(store::kWeekly);
  for (int i = 0; i < 7; ++i) odd.day_flags[i] = static_cast<uint8_t>(i % 2 + (i == 6) * 200);
  odd.hour = 11;
  odd.minute = 59;
  odd.month = 12;
  odd.day_of_month = 31;
  odd.minute_past_hour = 7;
  odd.interval.Set(720);
  odd.day_of_week = 1;
  odd.year.Set(2026);
  odd.pm = 1;
  odd.top_most_only = 1;
  odd.last_modified.Set(46095.63155092592);
  for (int i = 0; i < 22; ++i) odd.reserved2[i] = static_cast<uint8_t>(0xF0 + i);
  records.push_back(odd);

  MacroRecord menu;
  menu.nickname.Set("Menu");
  menu.trigword.Set("Y32");
  menu.scope.Set(store::kScopePopupMenu);
  menu.activation.Set(300);
  menu.active = 1;
  menu.SetMenuItems({1, 2, 500, 65535});
  menu.reserved2[21] = 0x5A;
  menu.last_modified.Set(-0.0);
  records.push_back(menu);

  MacroRecord trig;
  trig.nickname.Set(std::string(50, 'n'));
  trig.scope_name.Set(std::string(30, 's'));
  trig.trigword.Set("sig!#$%");
  trig.activation.Set(store::kTrigwordMacro);
  trig.scope.Set(store::kScopeProgram);
  trig.SetText(std::string(5000, 'x'));
  trig.last_modified.bytes[7] = 0x7F;  // a NaN with a payload
  trig.last_modified.bytes[6] = 0xF8;
  trig.last_modified.bytes[0] = 0x23;
  records.push_back(trig);

  // Every byte random, including the bytes that carry no meaning.
  std::mt19937 rng(99);
  for (int i = 0; i < 6; ++i) {
    MacroRecord r = testutil::RandomRecord(rng);
    if (i == 0) r.scope.Set(store::kScopePopupMenu);
    if (i == 1) r.scope.Set(static_cast<uint16_t>(rng()));
    records.push_back(r);
  }
  return records;
}

TEST(QlxMacroFile, DumpThenLoadGivesBackEverySignificantByte) {
  testutil::TempDir dir;
  const auto records = OddFixture();
  testutil::WriteBytes(dir / "in.qlx", testutil::Concat(records));

  const Result dump = Qlx(dir, "dump " + Quote(dir / "in.qlx"));
  ASSERT_EQ(dump.code, 0) << dump.err;
  EXPECT_EQ(dump.err, "");
  testutil::WriteBytes(dir / "dump.txt", Bytes(dump.out.begin(), dump.out.end()));
  EXPECT_NE(dump.out.find("reserved1 = AB 01\n"), std::string::npos);
  EXPECT_NE(dump.out.find("text = \"Dear \\xC9mile,\\r\\n\"\n"
                          "       \"\\x01\\x1B\\x7F\\xFF<ENTER>\\r\\n\"\n"
                          "       \"\\tindented\\n\"\n"),
            std::string::npos)
      << dump.out.substr(0, 2000);
  EXPECT_NE(dump.out.find("items = 1 2 500 65535\n"), std::string::npos);

  const Result load = Qlx(dir, "load " + Quote(dir / "dump.txt") + " " + Quote(dir / "out.qlx"));
  ASSERT_EQ(load.code, 0) << load.err;
  const auto back = store::ReadMacroFileRecords(dir / "out.qlx");
  ASSERT_EQ(back.status, store::ReadStatus::kOk);
  EXPECT_EQ(back.trailing_bytes, 0);
  ASSERT_EQ(back.records.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(testutil::ToBytes(back.records[i]), testutil::ToBytes(Significant(records[i])))
        << "record " << i + 1;
  }

  const Result again = Qlx(dir, "dump " + Quote(dir / "out.qlx"));
  ASSERT_EQ(again.code, 0);
  auto body = [](const std::string& s) { return s.substr(s.find('\n')); };  // past the path
  EXPECT_EQ(body(again.out), body(dump.out));
  // Nothing but the new file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5);
}

TEST(QlxMacroFile, LoadRefusesFaultyTextWithItsLineAndWritesNothing) {
  testutil::TempDir dir;
  testutil::WriteBytes(dir / "in.qlx", testutil::Concat({testutil::SystemRecord(2)}));
  const Result dump = Qlx(dir, "dump " + Quote(dir / "in.qlx"));
  ASSERT_EQ(dump.code, 0);
  // The lines of the good dump: 1 comment, 2 format, 3 blank, 4 [record 1], 5 nickname ...
  struct Case {
    std::string from, to;  // replaced in the good dump
    int line;
    std::string message;
  };
  const Case cases[] = {
      {"qlx-dump 1", "qlx-dump 2", 2, "not a qlx dump"},
      {"[record 1]", "[record 2]", 4, "expected [record 1]"},
      {"nickname = \"Start", "nickname = \"\\qStart", 5, "unknown escape \\q"},
      {"trigword = \"\"", "trigwort = \"\"", 7, "unknown field 'trigwort'"},
      {"activation = 263", "activation = 70000", 8, "activation: expected a whole number"},
      {"text = \"\"", "text = \"a\\x00b\"", 12, "NUL"},
      {"scope_name = \"2\"", "scope_name = \"2", 6, "quoted string"},
      {"reserved1 = 00 00", "reserved1 = 00", 11, "2 hexadecimal bytes"},
      {"minute = 0\n", "", 4, "the record has no minute field"},
      {"scope = 5", "scope = 4", 12, "has items, not text"},
  };
  std::filesystem::create_directory(dir / "out");
  const std::string existing = dir / "out/existing.qlx";
  testutil::WriteBytes(existing, {1, 2, 3});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    std::string text = dump.out;
    const size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, c.from.size(), c.to);
    testutil::WriteBytes(dir / "bad.txt", Bytes(text.begin(), text.end()));

    for (const std::string& target : {dir / "out/new.qlx", existing}) {
      const Result r = Qlx(dir, "load " + Quote(dir / "bad.txt") + " " + Quote(target));
      EXPECT_EQ(r.code, 1);
      const std::string prefix = "qlx load: line " + std::to_string(c.line) + ": ";
      EXPECT_EQ(r.err.substr(0, prefix.size()), prefix) << r.err;
      EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out/new.qlx"));
    EXPECT_EQ(testutil::ReadBytes(existing), (Bytes{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "out"), {}), 1);
  }
}

TEST(QlxMacroFile, ListShowsEachMacroAndNeverCreatesTheFile) {
  testutil::TempDir dir;
  const std::string missing = dir / "missing.qlx";
  for (const char* command : {"list ", "dump "}) {
    const Result r = Qlx(dir, command + Quote(missing));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(missing));
  }

  const auto records = OddFixture();
  testutil::WriteBytes(dir / "m.qlx", testutil::Concat({records.begin(), records.begin() + 4}));
  const Result r = Qlx(dir, "list " + Quote(dir / "m.qlx"));
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string expected =
      "1\t" + store::HotKeyName(262) + "\tActivate Quillomat\tSYSTEM\tYes\n" +
      "2\tTimed Macro\tCaf\u00E9 \u20AC \u0178 \"quoted\" back\\slash\tWindow: "
      "C:\\Temp\\a\\tb\tNo\n" +
      "3\t" + store::HotKeyName(300) + "\tMenu\tPopup Menu\tYes\n" + "4\tsig!#$%\t" +
      std::string(50, 'n') + "\tProgram: " + std::string(30, 's') + "\tNo\n";
  EXPECT_EQ(r.out, expected);
}

TEST(QlxMacroFile, UsageAndHelp) {
  testutil::TempDir dir;
  for (const char* command : {"list", "dump", "load"}) {
    SCOPED_TRACE(command);
    const Result help = Qlx(dir, std::string(command) + " --help");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind(std::string("usage: qlx ") + command, 0), 0u) << help.out;
    const Result bad = Qlx(dir, std::string(command) + " a b c");
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
  }
}

}  // namespace
}  // namespace quillomat
