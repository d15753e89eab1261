// The Trigword engine on the simulated desktop: typed sequences in, Backspaces and the macro
// played out.

#include "activation/trigwords.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_platform.h"

namespace quillomat::activation {
namespace {

using store::MacroRecord;

class FakeHost : public TrigwordHost {
 public:
  FakeHost(sim::SimPlatform& sim, sim::SimHookLibrary& hooks) : sim_(sim), hooks_(hooks) {}

  bool ReadMacro(int n, MacroRecord& record) override {
    if (n < 1 || n > static_cast<int>(records.size())) return false;
    record = records[n - 1];
    return true;
  }
  bool PopupMenuDisplayed() override { return popup; }
  bool CaptureInProgress() override { return capture; }
  bool MacroPaused() override { return paused; }
  void BeginTrigwordMacro(int n, const MacroRecord&) override { current = n; }
  void PlayTrigwordMacro(const MacroRecord& record, bool caps_lock) override {
    played.push_back("play " + std::to_string(current) + " erase " + std::to_string(Backspaces()) +
                     (caps_lock ? " caps" : ""));
    playing_published = hooks_.Shared().playing;
    played_at_ms = sim_.event_loop.ElapsedMs();
    text = record.Text();
  }

  int Backspaces() const {
    int count = 0;
    for (const auto& e : sim_.input.events()) count += e.kind == e.kKey && e.vk == 8 && !e.up;
    return count;
  }

  std::vector<MacroRecord> records;
  bool popup = false, capture = false, paused = false;
  int current = 0;
  std::vector<std::string> played;
  uint8_t playing_published = 0;
  int64_t played_at_ms = -1;
  std::string text;

 private:
  sim::SimPlatform& sim_;
  sim::SimHookLibrary& hooks_;
};

MacroRecord Trig(const std::string& word, uint16_t scope = store::kScopeGlobal,
                 const std::string& scope_name = "") {
  MacroRecord r;
  r.nickname.Set("macro " + word);
  r.trigword.Set(word);
  r.activation.Set(store::kTrigwordMacro);
  r.scope.Set(scope);
  r.scope_name.Set(scope_name);
  r.active = 1;
  r.SetText("text of " + word);
  return r;
}

class TrigwordTest : public ::testing::Test {
 protected:
  void Load(std::vector<MacroRecord> records) {
    host.records = std::move(records);
    for (size_t i = 0; i < host.records.size(); ++i) {
      const int n = static_cast<int>(i) + 1;
      index->SetItem(n, host.records[i]);
      settings.trigwords[n] = host.records[i].trigword.Get();
    }
    index->SetCount(static_cast<int>(host.records.size()));
    index->trigwords_present = 1;
  }
  // Types the characters; "\x01" stands for the hook library's reset.
  void Type(const std::string& typed, uint32_t state = 0) {
    for (char c : typed) {
      if (c == '\x01') {
        engine.OnTypedChar(kTypingReset, 0);
      } else {
        engine.OnTypedChar(state, static_cast<uint8_t>(c));
      }
    }
  }

  sim::SimPlatform sim;
  platform::Platform view = sim.View();
  std::unique_ptr<store::SharedIndex> index = std::make_unique<store::SharedIndex>();
  std::vector<uint8_t> shared = std::vector<uint8_t>(store::kSharedIndexSize);
  sim::SimHookLibrary hooks{&sim.event_loop};
  startup::SettingsRecord settings;
  FakeHost host{sim, hooks};
  TrigwordEngine engine{view, *index, hooks, settings, host};
};

struct TypingCase {
  const char* name;
  bool solitary, case_sensitive, use_suffix;
  const char* prefix;
  std::string typed;
  std::vector<std::string> played;
};

TEST_F(TrigwordTest, TypedSequences) {
  const TypingCase cases[] = {
      {"right after other letters", false, true, false, "", "xxabc", {"play 1 erase 3"}},
      {"solitary: not inside a word", true, true, false, "", "xxabc", {}},
      {"solitary: after a space", true, true, false, "", "xx abc", {"play 1 erase 3"}},
      {"solitary: a longer word cut to fit", true, true, false, "", "zqwertyu", {}},
      {"prefix keys erase too", false, true, false, ";;", "x;;abc", {"play 1 erase 5"}},
      {"prefix keys needed", false, true, false, ";;", "abc", {}},
      {"solitary prefix", true, true, false, ";;", " ;;abc", {"play 1 erase 5"}},
      {"suffix space", false, true, true, ";;", "abc ", {"play 1 erase 4"}},
      {"suffix Enter", false, true, true, "", "abc\r", {"play 1 erase 4"}},
      {"suffix: a comma is part of the word", false, true, true, "", "abc, ", {}},
      {"suffix: the whole word only", false, true, true, "", "xabc ", {}},
      {"suffix: a word longer than any Trigword", false, true, true, "", "zqwertyu ", {}},
      {"case sensitive", false, true, false, "", "ABC", {}},
      {"case insensitive", false, false, false, "", "ABC", {"play 1 erase 3"}},
      {"insensitive prefix", false, false, false, "xy", "XYaBc", {"play 1 erase 5"}},
      {"backspace corrects a letter", false, true, false, "", "abd\bc", {"play 1 erase 3"}},
      {"backspace in suffix mode", false, true, true, "", "abx\bc ", {"play 1 erase 4"}},
      {"backspace past the word start joins it to the text before",
       true,
       true,
       false,
       "",
       "q x\b\babc",
       {}},
      {"reset starts a new word",
       false,
       true,
       false,
       "",
       "ab\x01"
       "c",
       {}},
      {"reset then the whole word",
       true,
       true,
       false,
       "",
       "zz\x01"
       "abc",
       {"play 1 erase 3"}},
      {"the longer Trigword", false, true, false, "", "qwertyu", {"play 2 erase 7"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.input.Clear();
    host.played.clear();
    Load({Trig("abc"), Trig("qwertyu")});
    settings.solitary_usage = c.solitary;
    settings.case_sensitive = c.case_sensitive;
    settings.use_suffix = c.use_suffix;
    settings.prefix_keys = c.prefix;
    engine.OnTypedChar(kTypingReset, 0);
    Type(c.typed);
    EXPECT_EQ(host.played, c.played);
    EXPECT_TRUE(engine.buffer().typed.size() <= std::string(c.prefix).size() + 7);
  }
}

TEST_F(TrigwordTest, BufferHoldsOnlyWhatTheLongestTrigwordNeeds) {
  Load({Trig("ab"), Trig("xyz")});
  Type("hello world this is text");
  EXPECT_EQ(engine.buffer().typed, "ext");
  Type(" ");
  EXPECT_EQ(engine.buffer().typed, "");
}

TEST_F(TrigwordTest, InactiveOrAbsentTrigwordsNeverFire) {
  MacroRecord off = Trig("abc");
  off.active = 0;
  Load({off});
  Type("abc");
  EXPECT_TRUE(host.played.empty());
  EXPECT_EQ(engine.buffer().typed, "");  // nothing is kept for a Trigword that cannot fire

  Load({Trig("abc")});
  index->trigwords_present = 0;
  Type("abc");
  EXPECT_TRUE(host.played.empty());
}

TEST_F(TrigwordTest, PlaysAfterItsBackspacesAndAPauseThenEndsWithKey43) {
  Load({Trig("abc")});
  Type("abc", kTypingCapsOn);
  EXPECT_EQ(host.played, (std::vector<std::string>{"play 1 erase 3 caps"}));
  EXPECT_EQ(host.text, "text of abc");
  EXPECT_EQ(host.playing_published, 1);
  EXPECT_GE(host.played_at_ms, 100);
  std::string keys;
  for (const auto& e : sim.input.events()) {
    keys += std::to_string(e.vk) + (e.up ? "- " : "+ ");
  }
  EXPECT_EQ(keys, "8+ 8- 8+ 8- 8+ 8- 43+ 43- ");
  EXPECT_EQ(engine.buffer().typed, "");
}

TEST_F(TrigwordTest, TypingDuringItsOwnRunIsIgnored) {
  Load({Trig("abc")});
  // The library reports the Trigword again while the Backspaces are pressed.
  for (char c : std::string("abc")) sim.event_loop.PostAt(0, {kTypedChar, 0, c});
  sim.event_loop.SetMessageHandler([&](const platform::PostedMessage& m) {
    if (m.message == kTypedChar) engine.OnTypedChar(m.wparam, m.lparam);
  });
  Type("abc");
  EXPECT_EQ(host.played.size(), 1u);
  EXPECT_EQ(engine.buffer().typed, "");
}

TEST_F(TrigwordTest, RefusedWhilePopupCaptureOrPause) {
  Load({Trig("abc")});
  const struct {
    bool popup, capture, paused;
    const char* text;
  } cases[] = {{true, true, true, kPopupDisplayed},
               {false, true, true, kCaptureRunning},
               {false, false, true, kMacroPaused}};
  for (const auto& c : cases) {
    sim.message_boxes.Clear();
    host.popup = c.popup;
    host.capture = c.capture;
    host.paused = c.paused;
    Type(" abc");
    ASSERT_EQ(sim.message_boxes.shown().size(), 1u);
    EXPECT_EQ(sim.message_boxes.shown()[0].title, "Warning");
    EXPECT_EQ(sim.message_boxes.shown()[0].text, c.text);
  }
  EXPECT_TRUE(host.played.empty());
  EXPECT_TRUE(sim.input.events().empty());
}

TEST_F(TrigwordTest, WindowThenProgramThenGlobalMatch) {
  Load({Trig("abc"), Trig("abc", store::kScopeProgram, "edit"),
        Trig("abc", store::kScopeWindow, "notes"), Trig("abc", store::kScopePopupMenu)});
  const struct {
    const char* title;
    const char* program;
    const char* played;
  } cases[] = {
      {"My Notes - Editor", "EDITOR", "play 3 erase 3"},
      {"Letter", "EDITOR", "play 2 erase 3"},
      {"Notes", "TERM", "play 3 erase 3"},
      {"Letter", "TERM", "play 1 erase 3"},
  };
  for (const auto& c : cases) {
    host.played.clear();
    sim.input.Clear();
    sim.windows.Open(c.title, c.program);
    Type(" abc");
    EXPECT_EQ(host.played, std::vector<std::string>{c.played}) << c.title;
  }
}

TEST(TrigwordChars, TheSetOfTheOptionsDialog) {
  const std::string word = "AZaz09!#$%&*+,-./;<=>?@^_";
  for (char c : word) EXPECT_TRUE(IsTrigwordChar(c)) << c;
  for (char c : std::string(" '\"()[]{}:`~|\\\t\r\b\xE9")) EXPECT_FALSE(IsTrigwordChar(c)) << c;
  EXPECT_FALSE(IsTrigwordChar('\0'));
}

}  // namespace
}  // namespace quillomat::activation
