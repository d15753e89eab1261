#include "player/player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "player/prompts.h"
#include "player_fixture.h"

namespace quillomat::player {
namespace {

namespace fs = std::filesystem;

struct KeysCase {
  const char* text;
  const char* keys;
};

class TypingTest : public PlayerTest, public ::testing::WithParamInterface<KeysCase> {};

TEST_P(TypingTest, SendsTheseEvents) {
  Play(GetParam().text);
  EXPECT_EQ(Keys(), GetParam().keys) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Player, TypingTest,
    ::testing::Values(
        // Shift is held for the capital only and let go before Enter.
        KeysCase{"A<ENTER>", "10+ 41+ 41- 10- 0D+ 0D-"}, KeysCase{"<CTRL>c", "11+ 43+ 43- 11-"},
        KeysCase{"<ALT><ALT>x", "12+ 12- 58+ 58-"},
        KeysCase{"<SHIFT><F5>x", "10+ 74+ 74- 10- 58+ 58-"},
        // The upper half of the code page goes through the Alt keypad.
        KeysCase{"\xE9", "12+ 60+ 60- 62+ 62- 63+ 63- 63+ 63- 12-"},
        // Tokens are case-sensitive: a lower-case one is text.
        KeysCase{"<enter>",
                 "10+ BC+ BC- 10- 45+ 45- 4E+ 4E- 54+ 54- 45+ 45- 52+ 52- 10+ BE+ BE- 10-"},
        KeysCase{"a\r\nb", "41+ 41- 0D+ 0D- 42+ 42-"}, KeysCase{"\x01", "11+ 41+ 41- 11-"},
        // Esc is Ctrl+[ in the US layout, DEL Ctrl+Backspace.
        KeysCase{"\x1B\x7F", "11+ DB+ DB- 11- 11+ 08+ 08- 11-"},
        KeysCase{"<ALT:065>", "12+ 60+ 60- 66+ 66- 65+ 65- 12-"},
        KeysCase{"<ALT4:0128>", "12+ 60+ 60- 61+ 61- 62+ 62- 68+ 68- 12-"},
        // A keypad field that is not all digits types nothing.
        KeysCase{"<ALT:0a3>x", "58+ 58-"},
        // Held keys stay held at the end of a macro that ends normally.
        KeysCase{"<CTLD>a", "11+ 41+ 41-"},
        KeysCase{"<SHFD>a<SHFU><WIND><WINU>", "10+ 41+ 41- 10- 5B+ 5B-"},
        KeysCase{"<CLIPC><CLIPP>", "11+ 43+ 43- 11- 11+ 56+ 56- 11-"},
        KeysCase{"<RIGHT MOUSE>", "02+ 02-"},
        KeysCase{"<LCLK><RDN><RUP><MDCLK>",
                 "m0002:0,0,0 m0004:0,0,0 m0008:0,0,0 m0010:0,0,0 m0020:0,0,0 m0040:0,0,0 "
                 "m0020:0,0,0 m0040:0,0,0"},
        KeysCase{"<WFW:003><WBW:001>", "m0800:0,0,360 m0800:0,0,-120"},
        KeysCase{"<MMS:00100,00250>", "m8001:6399,21333,0"},
        // A coordinate that is no number moves nothing.
        KeysCase{"<MMS:00x00,00250>", ""}, KeysCase{"<REM:any text>x", "58+ 58-"},
        KeysCase{"<TEST><ENDCLIP><ENDREP>", ""},
        // An unmatched "<" is typed.
        KeysCase{"<x", "10+ BC+ BC- 10- 58+ 58-"}));

TEST_F(PlayerTest, MouseMoveRelativeToTheForegroundWindow) {
  const auto id = sim.windows.Open("Editor");
  sim.windows.MoveResize(id, 100, 50, 400, 300);
  Play("<MMW:00012,00010>");
  // (112, 60) on 1024 x 768.
  EXPECT_EQ(Keys(), "m8001:7167,5119,0");
}

TEST_F(PlayerTest, CapsLockIsSwitchedOffForTheMacroAndBackOnAfter) {
  player.SetCapsLockToggled(true);
  Play("a");
  EXPECT_EQ(Keys(), "14+ 14- 41+ 41- 14+ 14-");
}

struct TypedCase {
  const char* text;
  const char* typed;
};

class RepeatTest : public PlayerTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(RepeatTest, Types) {
  Play(GetParam().text);
  EXPECT_EQ(Typed(), GetParam().typed) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Player, RepeatTest,
    ::testing::Values(TypedCase{"<REPEAT:0002><IIII><ENDREP>", "00010002"},
                      TypedCase{"<REPEAT:0012><II><ENDREP>", "010203040506070809101112"},
                      TypedCase{"<REPEAT:0000>a<I><ENDREP>b", "a1b"},
                      TypedCase{"<REPEAT:0001>a<I><ENDREP>b", "a1b"},
                      // A counter is typed in full when it is wider than its token.
                      TypedCase{"<REPEAT:0010><I><ENDREP>", "12345678910"},
                      // Without an end the body plays once, as text, and is no repeat.
                      TypedCase{"<REPEAT:0003>a<I>", "a"},
                      // Outside a repeat, and after its end, a counter types nothing.
                      TypedCase{"<I>a<REPEAT:0002>b<ENDREP><I>", "abb"},
                      // Inside a replayed body a repeat token is ignored; met during the final
                      // inline pass it starts a new repeat.
                      TypedCase{"<REPEAT:0003>x<REPEAT:0002>y<ENDREP>z", "xyxyxyyz"}));

TEST_F(PlayerTest, ClipboardBlockCopiesItsTextAndContinuesAfterIt) {
  Play("<SPEED:00000><BEGCLIP>some <b>text<ENDCLIP>x");
  EXPECT_EQ(sim.clipboard.Text(), "some <b>text");
  EXPECT_EQ(Typed(), "x");
  // The clipboard's wait is not scaled.
  EXPECT_EQ(waits, std::vector<double>{50});
}

TEST_F(PlayerTest, ClipboardBlockWithoutItsEndCopiesNothingAndEndsThePass) {
  sim.clipboard.SetText("before");
  Play("<BEGCLIP>text");
  EXPECT_EQ(sim.clipboard.Text(), "before");
  EXPECT_EQ(Keys(), "");
}

TEST_F(PlayerTest, AbortDuringTheFifthOfTenIterations) {
  player.SetCapsLockToggled(true);
  // Each iteration takes a little over a second; the abort comes in the fifth.
  sim.event_loop.PostAt(4500, {kAbortMessage, 0, 0});
  Play("<REPEAT:0010><CTLD>a<DELAY:01.00><ENDREP>after");
  EXPECT_EQ(Typed(), "aaaaa");
  ASSERT_EQ(forms.messages().size(), 1u);
  EXPECT_EQ(forms.messages()[0].title, "Macro Abort");
  EXPECT_EQ(forms.messages()[0].text, "Quillomat 98 macro has been aborted.");
  // The Ctrl that playback held is let go; Caps Lock is not switched back.
  EXPECT_TRUE(sim.input.HeldKeys().empty());
  EXPECT_EQ(Keys().substr(0, 12), "14+ 14- 11+ ");
  EXPECT_EQ(Keys().find("14+", 4), std::string::npos);
}

TEST_F(PlayerTest, AbortInsideATextFileIsReportedOnce) {
  const fs::path file = fs::temp_directory_path() / "player_test_abort.txt";
  std::ofstream(file, std::ios::binary) << "<DELAY:01.00>ab";
  sim.event_loop.PostAt(500, {kAbortMessage, 0, 0});
  Play("<TFILE:" + file.string() + ">cd");
  EXPECT_EQ(Typed(), "");
  EXPECT_EQ(forms.messages().size(), 1u);
  fs::remove(file);
}

TEST_F(PlayerTest, TextFilePlaysWithoutItsFinalCtrlZ) {
  const fs::path file = fs::temp_directory_path() / "player_test_tfile.txt";
  std::ofstream(file, std::ios::binary) << "ab<ENTER>\x1A";
  Play("<TFILE:" + file.string() + ">c<TFILE:/no/such/file>d");
  EXPECT_EQ(Keys(), "41+ 41- 42+ 42- 0D+ 0D- 43+ 43- 44+ 44-");
  fs::remove(file);
}

TEST_F(PlayerTest, TextFileThatPlaysItselfEnds) {
  const fs::path file = fs::temp_directory_path() / "player_test_self.txt";
  std::ofstream(file, std::ios::binary) << "a<TFILE:" << file.string() << ">";
  Play("<TFILE:" + file.string() + ">");
  EXPECT_EQ(Typed(), std::string(kMaxPassDepth - 1, 'a'));
  fs::remove(file);
}

TEST_F(PlayerTest, ActivateFindsTheWindowByPartOfItsTitle) {
  const auto report = sim.windows.Open("Monthly Report - Editor");
  sim.windows.Open("Other");
  Play("<ACTIVATE:report>x");
  EXPECT_EQ(sim.windows.Foreground(), report);
  EXPECT_EQ(player.target_window(), report);
  EXPECT_EQ(Typed(), "x");
}

TEST_F(PlayerTest, FailedActivateSkipsTheRestOfItsPassOnly) {
  sim.windows.Open("Other");
  const fs::path file = fs::temp_directory_path() / "player_test_activate.txt";
  std::ofstream(file, std::ios::binary) << "a<ACTIVATE:nothing>b";
  Play("<TFILE:" + file.string() + ">c<ACTIVATE:nothing>d");
  EXPECT_EQ(Typed(), "ac");
  fs::remove(file);
}

TEST_F(PlayerTest, PauseBoxSitsOnTheScreenAndResumes) {
  sim.input.SetScreen({800, 600});
  host.activation = 0;
  Play("a<PAUSE:900,900Check the total>b");
  ASSERT_EQ(forms.pause_boxes().size(), 1u);
  const auto& box = forms.pause_boxes()[0];
  EXPECT_EQ(box.top, 600 - 19 - 94);
  EXPECT_EQ(box.left, 576);
  EXPECT_EQ(box.caption, "Pause (Ctrl+A)");
  EXPECT_EQ(box.nickname, "Test macro");
  EXPECT_EQ(box.message, "Check the total");
  EXPECT_EQ(Typed(), "ab");
  EXPECT_TRUE(player.pause_shown());
  // Hidden for the pause and shown again at the end.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hide main", "show main"}));
}

TEST_F(PlayerTest, InTrayModeOnlyTheApplicationWindowComesAndGoes) {
  host.use_tray = true;
  sim.event_loop.PostAt(0, {kAbortMessage, 0, 0});
  Play("<PAUSE>ab");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"show app", "hide app", "show app", "hide app"}));
  EXPECT_EQ(forms.messages().size(), 1u);
}

TEST_F(PlayerTest, PauseAbortEndsTheWholeMacro) {
  host.minimised = true;
  forms.Answer("continue");
  forms.Answer("abort");
  Play("<REPEAT:0003><CTLD>a<PAUSE><ENDREP>b");
  EXPECT_EQ(Typed(), "aa");
  EXPECT_TRUE(sim.input.HeldKeys().empty());
  EXPECT_TRUE(forms.messages().empty());
  EXPECT_EQ(host.calls, (std::vector<std::string>{"restore", "hide main", "hide main", "show main",
                                                  "minimise"}));
}

TEST_F(PlayerTest, PromptRefusesTextAndRepeatsTheAnsweredCount) {
  forms.Answer("abc");
  forms.Answer(" 3 ");
  Play("<PROMPTREP>a<ENDREP>");
  EXPECT_EQ(Typed(), "aaa");
  ASSERT_EQ(sim.message_boxes.shown().size(), 1u);
  EXPECT_EQ(sim.message_boxes.shown()[0].title, "Error");
  EXPECT_EQ(sim.message_boxes.shown()[0].text, "Invalid numeric value entered.  Please Correct");
  ASSERT_EQ(forms.prompts().size(), 1u);
  EXPECT_EQ(forms.prompts()[0].caption, "Macro Repeat");
}

TEST_F(PlayerTest, PromptInsideAReplayedBodyIsAskedButNotUsed) {
  forms.Answer("2");
  forms.Answer("5");
  forms.Answer("5");
  Play("<REPEAT:0002>a<PROMPTREP>b<ENDREP>");
  // The first replay asks (and ignores the answer); the final pass asks and repeats "b".
  EXPECT_EQ(forms.prompts().size(), 2u);
  EXPECT_EQ(Typed(), "ababbbbb");
}

TEST_F(PlayerTest, DateAndTimeAreTypedFromTheClock) {
  sim.event_loop.SetNow({2026, 3, 2, 14, 5, 9, 0, 1});
  Play("<YYYY-MM-DD{Y}><DD{YP002}><hh:mm:ss{Y}>");
  EXPECT_EQ(Typed(), "2026030228140509");
}

TEST_F(PlayerTest, ShellSoundAndMacroFileCommands) {
  Play(
      "<HTTP:http://example.org/><LAUNCH:EDIT.EXE<PARAM>A.TXT><WAV1:a.wav><WAV2:b.wav><BEEP>"
      "<SWAP:/tmp/other.qlx>");
  ASSERT_EQ(sim.shell.opened().size(), 2u);
  EXPECT_EQ(sim.shell.opened()[0].target, "http://example.org/");
  EXPECT_EQ(sim.shell.opened()[1].target, "EDIT.EXE");
  EXPECT_EQ(sim.shell.opened()[1].parameters, "A.TXT");
  ASSERT_EQ(sim.sound.played().size(), 2u);
  EXPECT_TRUE(sim.sound.played()[0].wait);
  EXPECT_FALSE(sim.sound.played()[1].wait);
  EXPECT_EQ(sim.sound.bells(), 1);
  EXPECT_EQ(host.calls, std::vector<std::string>{"swap /tmp/other.qlx"});
}

TEST_F(PlayerTest, LaunchAndActivateWaitsForTheWindow) {
  // The program's window appears two seconds after the launch.
  sim.event_loop.SetMessageHandler([this](const platform::PostedMessage& m) {
    if (m.message == 1) sim.windows.Open("Calculator");
  });
  sim.event_loop.PostAt(2000, {1, 0, 0});
  Play("<LAUNCHYES:05Calc<LAUNCH:CALC.EXE>x");
  ASSERT_EQ(sim.shell.opened().size(), 1u);
  EXPECT_EQ(Typed(), "x");
  EXPECT_EQ(waits, std::vector<double>{5000});
  EXPECT_GE(sim.event_loop.ElapsedMs(), 7000);
}

TEST_F(PlayerTest, LaunchWhoseWindowNeverAppearsEndsThePass) {
  Play("<LAUNCHNO:05Calc<LAUNCH:CALC.EXE>x");
  EXPECT_EQ(Typed(), "");
  EXPECT_GT(sim.event_loop.ElapsedMs(), 30000);
  sim.windows.Open("Calculator");
  Play("<LAUNCHYES:05Calc<LAUNCH:CALC.EXE>x");
  EXPECT_EQ(sim.shell.opened().size(), 1u);  // already running: only activated
}

TEST_F(PlayerTest, WindowCommandsActOnTheNamedOrCurrentWindow) {
  const auto editor = sim.windows.Open("Editor");
  sim.windows.Open("Top");
  Play("<WMAX:><WMAX:\"CURRENT\"><WPOS:0010,0020Editor><WSIZE:0300,0200Editor><WMIN:nothing>");
  EXPECT_TRUE(sim.windows.stack()[0].maximized);
  const auto* w = sim.windows.Find(editor);
  EXPECT_FALSE(w->maximized);
  EXPECT_EQ(w->left, 10);
  EXPECT_EQ(w->top, 20);
  EXPECT_EQ(w->width, 300);
  EXPECT_EQ(w->height, 200);
  Play("<WCLS:edit>");
  EXPECT_EQ(sim.windows.Find(editor), nullptr);
}

TEST_F(PlayerTest, FileCommandsWorkOnRealFiles) {
  const fs::path dir = fs::temp_directory_path() / "player_test_files";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "a.txt") << "hello";
  std::ofstream(dir / "c.txt") << "old";
  const std::string d = dir.string() + "/";
  Play("<COPYFILE:" + d + "a.txt;" + d + "c.txt><RENFILE:" + d + "a.txt;" + d +
       "b.txt><DELFILE:" + d + "nothing><CLIPF:" + d + "c.txt>");
  EXPECT_FALSE(fs::exists(dir / "a.txt"));
  EXPECT_TRUE(fs::exists(dir / "b.txt"));
  EXPECT_EQ(sim.clipboard.Text(), "hello");
  Play("<DELFILE:" + d + "b.txt>");
  EXPECT_FALSE(fs::exists(dir / "b.txt"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace quillomat::player
