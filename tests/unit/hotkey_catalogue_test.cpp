#include "store/hotkey_catalogue.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_input.h"
#include "platform/sim/sim_message_boxes.h"

namespace quillomat::store {
namespace {

using platform::MessageButtons;
using platform::MessageResult;

TEST(HotKeyCatalogue, NamesAtEveryBlockBoundary) {
  const std::map<int, std::string> expected = {
      {0, "Ctrl+A"},
      {47, "Ctrl+F12"},
      {48, "Alt+A"},
      {95, "Alt+F12"},
      {96, "Ctrl+Shift+A"},
      {143, "Ctrl+Shift+F12"},
      {144, "Ctrl+Alt+A"},
      {191, "Ctrl+Alt+F12"},
      {192, "Alt+Shift+A"},
      {239, "Alt+Shift+F12"},
      {240, "Ctrl+Alt+Shift+A"},
      {287, "Ctrl+Alt+Shift+F12"},
      {288, "F1"},
      {299, "F12"},
      {300, "Shift+F1"},
      {311, "Shift+F12"},
      {312, "Ctrl+Enter"},
      {318, "Ctrl+Alt+Shift+Enter"},
      {319, "Ctrl+Tab"},
      {323, "Ctrl+Alt+Shift+Tab"},
      {324, "Ctrl+Backspace"},
      {330, "Ctrl+Alt+Shift+Backspace"},
      {331, "Ctrl+Space"},
      {337, "Ctrl+Alt+Shift+Space"},
      {338, "Ctrl+Insert"},
      {344, "Ctrl+Alt+Shift+Insert"},
      {345, "Ctrl+Delete"},
      {349, "Alt+Shift+Delete"},
      {350, "Ctrl+Home"},
      {356, "Ctrl+Alt+Shift+Home"},
      {357, "Ctrl+End"},
      {363, "Ctrl+Alt+Shift+End"},
      {364, "Ctrl+."},
      {429, "Ctrl+Alt+Shift+`"},
      {430, "KeyPad /"},
      {461, "Ctrl+Alt+Shift+Keypad +"},
      {462, "Insert"},
      {471, "Down Arrow"},
      {472, "Ctrl+Page Up"},
      {513, "Ctrl+Alt+Shift+Down Arro"},
      {514, "KeyPad 0"},
      {553, "Ctrl+Alt+Keypad 9"},
      {554, "Win+A"},
      {601, "Win+F12"},
      {602, "Win+Ctrl+A"},
      {649, "Win+Ctrl+F12"},
      {650, "Win+Alt+A"},
      {697, "Win+Alt+F12"},
      {698, "ESC"},
      {699, "LMouse"},
      {705, "Shift+Alt+LMouse"},
      {706, "RMouse"},
      {712, "Shift+Alt+RMouse"},
      {713, "MMouse"},
      {719, "Shift+Alt+MMouse"},
      // Inside blocks: the keypad spellings and the names cut at 24 characters.
      {431, "Ctrl+Keypad /"},
      {433, "Shift+KeyPad /"},
      {434, "Ctrl+Shift+Keypad /"},
      {485, "Ctrl+Alt+Shift+Page Down"},
      {492, "Ctrl+Alt+Shift+Left Arro"},
      {499, "Ctrl+Alt+Shift+Right Arr"},
      {-1, ""},
      {720, ""},
  };
  for (const auto& [index, name] : expected) EXPECT_EQ(HotKeyName(index), name) << index;
}

TEST(HotKeyCatalogue, NamesAreUniqueShortAndFindTheirIndex) {
  std::set<std::string> seen;
  for (int i = 0; i < kCatalogueSize; ++i) {
    const std::string name = HotKeyName(i);
    EXPECT_FALSE(name.empty()) << i;
    EXPECT_LE(name.size(), 24u) << name;
    EXPECT_TRUE(seen.insert(name).second) << "duplicate " << name;
    EXPECT_EQ(HotKeyIndex(name), i) << name;
  }
  EXPECT_EQ(HotKeyIndex("Ctrl+Alt+Shift+Left Arrow"), -1);
  EXPECT_EQ(HotKeyIndex(""), -1);
}

TEST(HotKeyCatalogue, DecodesExamples) {
  struct Case {
    std::string name;
    DecipheredKey key;
  };
  const Case cases[] = {
      // key_code, mouse_button, win, shift, alt, ctrl
      {"Ctrl+Keypad /", {111, 0, false, false, false, true}},
      {"Alt+Keypad /", {111, 0, false, false, true, false}},
      {"Ctrl+Page Up", {33, 0, false, false, false, true}},
      {"ESC", {27, 0, false, false, false, false}},
      {"LMouse", {0, 1, false, false, false, false}},
      {"Shift+Alt+MMouse", {0, 3, false, true, true, false}},
      {"Win+Ctrl+F", {'F', 0, true, false, false, true}},
      {"Ctrl+Alt+Shift+`", {192, 0, false, true, true, true}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecipherKey(HotKeyIndex(c.name)), c.key) << c.name;
  }
  EXPECT_EQ(HotKeyIndex("Shift+Alt+MMouse"), 719);
  EXPECT_EQ(DecipherKey(720), DecipheredKey{});
}

// Reads a name back into modifiers and key, independently of how the catalogue is built.
TEST(HotKeyCatalogue, EveryNameAgreesWithItsDecoding) {
  std::map<std::string, int> key_codes = {
      {"Enter", 13},     {"Tab", 9},         {"Backspace", 8},   {"Space", 32},
      {"Insert", 45},    {"Delete", 46},     {"Home", 36},       {"End", 35},
      {"Page Up", 33},   {"Page Down", 34},  {"Left Arrow", 37}, {"Right Arrow", 39},
      {"Up Arrow", 38},  {"Down Arrow", 40}, {".", 190},         {",", 188},
      {"/", 191},        {";", 186},         {"'", 222},         {"\\", 220},
      {"[", 219},        {"]", 221},         {"-", 189},         {"=", 187},
      {"`", 192},        {"Keypad /", 111},  {"Keypad *", 106},  {"Keypad -", 109},
      {"Keypad +", 107}, {"ESC", 27},
  };
  for (char c = 'A'; c <= 'Z'; ++c) key_codes[std::string(1, c)] = c;
  for (char c = '0'; c <= '9'; ++c) key_codes[std::string(1, c)] = c;
  for (int f = 1; f <= 12; ++f) key_codes["F" + std::to_string(f)] = 111 + f;
  for (int d = 0; d <= 9; ++d) key_codes["Keypad " + std::to_string(d)] = 96 + d;
  const std::map<std::string, int> buttons = {{"LMouse", 1}, {"RMouse", 2}, {"MMouse", 3}};

  for (int i = 0; i < kCatalogueSize; ++i) {
    const std::string name = HotKeyName(i);
    DecipheredKey parsed;
    std::string rest = name;
    for (bool stripped = true; stripped;) {
      stripped = false;
      for (auto [prefix, flag] : {std::pair{"Ctrl+", &parsed.ctrl},
                                  {"Alt+", &parsed.alt},
                                  {"Shift+", &parsed.shift},
                                  {"Win+", &parsed.win}}) {
        if (rest.rfind(prefix, 0) == 0) {
          *flag = true;
          rest.erase(0, std::string(prefix).size());
          stripped = true;
        }
      }
    }
    if (rest.rfind("KeyPad ", 0) == 0) {
      EXPECT_FALSE(parsed.ctrl || parsed.alt || parsed.win) << name;
      rest.replace(0, 7, "Keypad ");
    } else if (rest.rfind("Keypad ", 0) == 0) {
      EXPECT_TRUE(parsed.ctrl || parsed.alt || parsed.win) << name;
    }
    if (auto b = buttons.find(rest); b != buttons.end()) {
      parsed.mouse_button = static_cast<uint8_t>(b->second);
    } else if (auto k = key_codes.find(rest); k != key_codes.end()) {
      parsed.key_code = static_cast<uint8_t>(k->second);
    } else {
      // A name cut at 24 characters: the one key name it starts.
      ASSERT_EQ(name.size(), 24u) << name;
      int matches = 0;
      for (const auto& [key, code] : key_codes) {
        if (key.rfind(rest, 0) == 0) {
          parsed.key_code = static_cast<uint8_t>(code);
          ++matches;
        }
      }
      ASSERT_EQ(matches, 1) << name;
    }
    EXPECT_EQ(DecipherKey(i), parsed) << name;
  }
}

TEST(CheckBad, AsksForTheTenClashingHotKeysOnly) {
  sim::SimMessageBoxes boxes;  // answers Yes when nothing is scripted
  std::vector<std::string> asked;
  for (int i = 0; i < kCatalogueSize; ++i) {
    const size_t before = boxes.shown().size();
    EXPECT_TRUE(CheckBad(i, boxes));
    if (boxes.shown().size() > before) asked.push_back(HotKeyName(i));
  }
  EXPECT_EQ(asked,
            (std::vector<std::string>{"Alt+F6", "Ctrl+Alt+F6", "Alt+Shift+F6", "Win+D", "Win+E",
                                      "Win+F", "Win+M", "Win+R", "Win+F1", "Win+Ctrl+F"}));
}

TEST(CheckBad, WinDAsksAndNoRefuses) {
  sim::SimMessageBoxes boxes;
  boxes.Answer(MessageResult::kYes);
  boxes.Answer(MessageResult::kNo);
  EXPECT_TRUE(CheckBad(HotKeyIndex("Win+D"), boxes));
  EXPECT_FALSE(CheckBad(HotKeyIndex("Win+D"), boxes));
  EXPECT_TRUE(CheckBad(HotKeyIndex("Win+A"), boxes));
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].title, "Warning");
  EXPECT_EQ(boxes.shown()[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(boxes.shown()[0].text,
            "Win+D may be used internally by Windows 95, 98 or NT.  This may cause the hot key "
            "not to function correctly. Would you still like to use Win+D?");
}

// "v17" presses virtual key 17, "^17" releases it, "m8" is a mouse event with flags 8.
std::vector<std::string> Trace(const sim::SimInput& input) {
  std::vector<std::string> out;
  for (const auto& e : input.events()) {
    if (e.kind == sim::SimInput::Event::kKey) {
      out.push_back((e.up ? "^" : "v") + std::to_string(e.vk));
    } else {
      EXPECT_EQ(e.x, 0);
      EXPECT_EQ(e.y, 0);
      out.push_back("m" + std::to_string(e.flags));
    }
  }
  return out;
}

TEST(RegenerateHotKey, PressesModifiersKeyThenReleasesInReverse) {
  struct Case {
    std::string name;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {"Ctrl+Alt+Shift+F12", {"v18", "v17", "v16", "v123", "^123", "^16", "^17", "^18"}},
      {"Win+Alt+A", {"v92", "v18", "v65", "^65", "^18", "^92"}},
      {"KeyPad 7", {"v103", "^103"}},
  };
  for (const auto& c : cases) {
    sim::SimInput input;
    sim::SimEventLoop loop;
    RegenerateHotKey(HotKeyIndex(c.name), input, loop);
    EXPECT_EQ(Trace(input), c.trace) << c.name;
    EXPECT_EQ(loop.ElapsedMs(), 0) << c.name;
  }
  sim::SimInput input;
  sim::SimEventLoop loop;
  RegenerateHotKey(720, input, loop);
  EXPECT_TRUE(input.events().empty());
}

TEST(RegenerateHotKey, MouseEntryWaitsFiftyMillisecondsPumpingBeforeTheClick) {
  sim::SimInput input;
  sim::SimEventLoop loop;
  size_t events_at_30ms = 0;
  loop.SetMessageHandler(
      [&](const platform::PostedMessage&) { events_at_30ms = input.events().size(); });
  loop.PostAt(30, {0x401});
  RegenerateHotKey(HotKeyIndex("Ctrl+Shift+RMouse"), input, loop);
  EXPECT_EQ(Trace(input), (std::vector<std::string>{"v17", "v16", "m8", "m16", "^16", "^17"}));
  EXPECT_EQ(events_at_30ms, 2u);  // modifiers down, no click yet
  EXPECT_EQ(loop.ElapsedMs(), 50);
}

// Runs qlx with the arguments; returns the exit code and what it wrote to stdout.
std::pair<int, std::string> RunQlx(const std::string& args) {
  std::string out;
  FILE* pipe = popen((std::string(QLX_PATH) + " " + args + " 2>/dev/null").c_str(), "r");
  if (!pipe) return {-1, ""};
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(QlxCatalogue, ListsEveryHotKeyAndRefusesArguments) {
  const auto [code, out] = RunQlx("catalogue");
  EXPECT_EQ(code, 0);
  std::string expected;
  for (int i = 0; i < kCatalogueSize; ++i) {
    expected += std::to_string(i) + "\t" + HotKeyName(i) + "\n";
  }
  EXPECT_EQ(out, expected);
  EXPECT_EQ(RunQlx("catalogue extra").first, 2);
  EXPECT_EQ(RunQlx("catalogue --help").first, 0);
}

}  // namespace
}  // namespace quillomat::store
