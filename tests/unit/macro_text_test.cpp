#include "language/macro_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_message_boxes.h"

namespace quillomat::language {
namespace {

using K = TokenKind;

struct Recognised {
  std::string text;
  TokenKind kind;
  size_t length;
  int code_or_format = 0;  // key code, counter width, or date/time format number
};

// Tokens that share leading characters, and near misses that must stay literal.
TEST(ReadToken, TellsApartTokensThatShareLeadingCharacters) {
  const std::vector<Recognised> cases = {
      {"<ENTER>", K::kKey, 7, 0x0D},
      {"<enter>", K::kLiteral, 1},  // names are case-sensitive
      {"<END>", K::kKey, 5, 0x23},
      {"<ENDREP>", K::kEndRepeat, 8},
      {"<ENDCLIP>", K::kEndClip, 9},
      {"<F1>", K::kKey, 4, 0x70},
      {"<F10>", K::kKey, 5, 0x79},
      {"<F24>", K::kKey, 5, 0x87},
      {"<F25>", K::kLiteral, 1},
      {"<ALT>", K::kAlt, 5},
      {"<ALTD>", K::kKeyDown, 6, 0x12},
      {"<ALT:065>", K::kAltKeypad3, 9},
      {"<ALT4:0233>", K::kAltKeypad4, 11},
      {"<ALT:65>", K::kLiteral, 1},  // closing ">" not at column 8
      {"<ALT4:233>", K::kLiteral, 1},
      {"<I>", K::kRepeatCounter, 3, 1},
      {"<II>", K::kRepeatCounter, 4, 2},
      {"<III>", K::kRepeatCounter, 5, 3},
      {"<IIII>", K::kRepeatCounter, 6, 4},
      {"<IIIII>", K::kLiteral, 1},
      {"<PAUSE>", K::kPause, 7},
      {"<PAUSE:100,200>", K::kPauseAt, 15},
      {"<LAUNCH:A.EXE>", K::kLaunch, 14},
      {"<LAUNCHNO:05T<LAUNCH:A.EXE>", K::kLaunchNo, 27},
      {"<LAUNCHYES:05T<LAUNCH:A.EXE>", K::kLaunchYes, 28},
      {"<RIGHT MOUSE>", K::kMouseKey, 13, 0x02},
      {"<RIGHT ARROW>", K::kKey, 13, 0x27},
      {"<KEYP->", K::kKey, 7, 0x6D},
      {"<TEST>", K::kTest, 6},
      {"<MM/DD/YY{Y}>", K::kDate, 13, 1},
      {"<MM/DD/YYYY{Y}>", K::kDate, 15, 4},
      {"<MM{Y}>", K::kDate, 7, 42},
      {"<MMM{Y}>", K::kDate, 8, 44},
      {"<Mmm{N}>", K::kDate, 8, 43},
      {"<mm{Y}>", K::kTime, 7, 10},
      {"<hh:mm{N}>", K::kTime, 10, 1},
      {"<hh:mm am{N}>", K::kTime, 13, 12},
      {"<hh:mma{Y}>", K::kTime, 11, 24},
      {"<hh:mm{n}>", K::kLiteral, 1},
      {"<hh:mm{Y}", K::kLiteral, 1},
      {"<Day of Week 3{YF000}>", K::kDate, 22, 50},
      {"<", K::kLiteral, 1},
  };
  for (const Recognised& c : cases) {
    SCOPED_TRACE(c.text);
    const Token token = ReadToken(c.text, 0);
    EXPECT_EQ(token.kind, c.kind);
    EXPECT_EQ(token.length, c.length);
    const int code = token.kind == K::kDate || token.kind == K::kTime ? token.format : token.code;
    if (c.code_or_format != 0) {
      EXPECT_EQ(code, c.code_or_format);
    }
  }
}

// A fixed-field token is accepted only with its ">" exactly where the field ends.
TEST(ReadToken, ClosingColumnChecks) {
  const std::vector<std::pair<std::string, TokenKind>> cases = {
      {"<DELAY:01.50>", K::kDelay},      {"<DELAY:1.5>", K::kLiteral},
      {"<DELAY:001.50>", K::kLiteral},   {"<SPEED:00.50>", K::kSpeed},
      {"<SPEED:0.5>", K::kLiteral},      {"<MSD:0250>", K::kMillisecondDelay},
      {"<MSD:250>", K::kLiteral},        {"<REPEAT:0003>", K::kRepeat},
      {"<REPEAT:3>", K::kLiteral},       {"<SPKEY:0100>", K::kKeystrokeSpeed},
      {"<SPMSE:100>", K::kLiteral},      {"<WFW:003>", K::kWheelForward},
      {"<WBW:03>", K::kLiteral},         {"<MMS:00100,00250>", K::kMouseMoveScreen},
      {"<MMW:00100,0025>", K::kLiteral}, {"<MMW:00100,00250", K::kLiteral},
  };
  for (const auto& [text, kind] : cases) {
    SCOPED_TRACE(text);
    const Token token = ReadToken(text, 0);
    EXPECT_EQ(token.kind, kind);
    EXPECT_EQ(token.length, kind == K::kLiteral ? 1 : text.size());
  }
}

// What the player sees step by step: literals one at a time, CR LF as one step.
TEST(ReadToken, StepsThroughTextAsThePlayerDoes) {
  const std::string text = "a<DELAY:1.5>\r\n\r<TAB>";
  std::vector<std::pair<TokenKind, char>> steps;
  for (size_t pos = 0; pos < text.size();) {
    const Token token = ReadToken(text, pos);
    steps.push_back({token.kind, token.literal});
    pos += token.length;
  }
  std::vector<std::pair<TokenKind, char>> expected;
  for (const char c : std::string("a<DELAY:1.5>")) expected.push_back({K::kLiteral, c});
  expected.push_back({K::kLiteral, '\r'});  // CR LF, one step
  expected.push_back({K::kLiteral, '\r'});  // a lone CR
  expected.push_back({K::kKey, 0});
  EXPECT_EQ(steps, expected);
}

TEST(ReadToken, ReadsIntegerFieldsUpToTheFirstNonDigit) {
  const std::vector<std::pair<std::string, int>> fields = {
      {"0042", 42}, {"  7x", 7}, {"+012", 12}, {"-003", -3}, {"12 3", 12},
      {"ab12", 0},  {"- 5", 0},  {"", 0},      {"    ", 0},
  };
  for (const auto& [field, value] : fields) {
    EXPECT_EQ(ReadIntegerField(field, 0, 4), value) << '"' << field << '"';
  }
  EXPECT_EQ(ReadIntegerField("123456", 2, 3), 345);
  EXPECT_EQ(ReadIntegerField("12", 1, 4), 2);  // the field is cut at the end of the text
  EXPECT_EQ(ReadIntegerField("12", 5, 4), 0);

  EXPECT_EQ(ReadToken("<REPEAT:12ab>", 0).numbers[0], 12);
  EXPECT_EQ(ReadToken("<WFW:-01>", 0).numbers[0], -1);
  EXPECT_EQ(ReadToken("<PAUSE:x10,2 5>", 0).numbers, (std::array<int, 2>{0, 2}));
}

TEST(ReadToken, ReadsRealFieldsOnlyWhenTheyHoldANumber) {
  const std::vector<std::pair<std::string, std::optional<double>>> fields = {
      {"01.50", 1.5},          {"00002", 2.0},          {" 1.5 ", 1.5},
      {"-0.50", -0.5},         {"+2.00", 2.0},          {".5000", 0.5},
      {"1.5.0", std::nullopt}, {"0x.50", std::nullopt}, {"1e+02", std::nullopt},
      {"  .  ", std::nullopt}, {"     ", std::nullopt}, {"1 5  ", std::nullopt},
  };
  for (const auto& [field, value] : fields) {
    EXPECT_EQ(ReadRealField(field, 0, 5), value) << '"' << field << '"';
  }
  EXPECT_EQ(ReadToken("<SPEED:0x.50>", 0).reals[0], std::nullopt);
  const Token move = ReadToken("<MMW:00010,00005>", 0);
  EXPECT_EQ(move.reals[0], 10.0);
  EXPECT_EQ(move.reals[1], 5.0);
}

TEST(ReadToken, TextParameters) {
  const std::string long_remark = "<REM:" + std::string(300, 'r') + ">tail";
  struct Case {
    std::string text;
    size_t length;
    std::string title, text1, text2;
  };
  const std::vector<Case> cases = {
      {"<REM:abc>x", 9, "", "abc", ""},
      {"<REM:abc", 8, "", "abc", ""},  // no ">": the rest of the text
      {"<REM:>", 6, "", "", ""},
      {long_remark, 306, "", std::string(255, 'r'), ""},
      {"<WCLS:Notepad>", 14, "Notepad", "", ""},
      {"<PAUSE:100,200Insert the disk>", 30, "", "Insert the disk", ""},
      {"<PAUSE:", 7, "", "", ""},
      {"<WSIZE:0640,0480Untitled - Notepad>", 35, "Untitled - Notepad", "", ""},
      {"<COPYFILE:a.txt;b.txt>", 22, "", "a.txt", "b.txt"},
      {"<RENFILE:a;b;c>", 15, "", "a", "b;c"},
      {"<COPYFILE:a.txt>", 16, "", "a.txt", ""},
      {"<LAUNCH:C:\\WINDOWS\\NOTEPAD.EXE<PARAM>C:\\README.TXT>", 51, "", "C:\\WINDOWS\\NOTEPAD.EXE",
       "C:\\README.TXT"},
      {"<LAUNCH:EDIT.EXE>A.TXT>", 17, "", "EDIT.EXE", ""},
      {"<LAUNCH:EDIT.EXE<PARAM>A.TXT", 28, "", "EDIT.EXE", "A.TXT"},
      {"<LAUNCHYES:05Calc<LAUNCH:CALC.EXE>", 34, "Calc", "CALC.EXE", ""},
      {"<LAUNCHNO:10Untitled - Notepad<LAUNCH:NOTEPAD.EXE<PARAM>A.TXT>", 62, "Untitled - Notepad",
       "NOTEPAD.EXE", "A.TXT"},
      {"<LAUNCHNO:05Calc", 16, "Calc", "", ""},
      {"<LAUNCHNO:05Calc<LAU", 20, "Calc", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Token token = ReadToken(c.text, 0);
    EXPECT_NE(token.kind, K::kLiteral);
    EXPECT_EQ(token.length, c.length);
    EXPECT_EQ(token.title, c.title);
    EXPECT_EQ(token.text, c.text1);
    EXPECT_EQ(token.text2, c.text2);
  }
  EXPECT_EQ(ReadToken("<PAUSE:100,200Insert the disk>", 0).numbers, (std::array<int, 2>{100, 200}));
  EXPECT_EQ(ReadToken("<LAUNCHYES:05Calc<LAUNCH:CALC.EXE>", 0).numbers[0], 5);
}

TEST(ReadToken, CurrentWindowIsTheQuotedNameOnly) {
  const Token token = ReadToken("<WMAX:\"CURRENT\">", 0);
  EXPECT_EQ(token.title.size(), 9u);
  EXPECT_TRUE(IsCurrentWindow(token.title));
  EXPECT_FALSE(IsCurrentWindow("CURRENT"));
  EXPECT_FALSE(IsCurrentWindow("\"current\""));
  EXPECT_FALSE(IsCurrentWindow(ReadToken("<WMAX:\"CURRENT\" >", 0).title));
}

TEST(ReadToken, DateTokensShortAndLongForm) {
  struct Case {
    std::string text;
    size_t length;
    bool leading_zeros, future;
    int days;
  };
  const std::vector<Case> cases = {
      {"<MM/DD/YY{Y}>", 13, true, true, 0},
      {"<MM/DD/YY{N}>", 13, false, true, 0},
      {"<MM/DD/YY{YF001}>", 17, true, true, 1},
      {"<DD Mmm YYYY{NP007}>", 20, false, false, 7},
      {"<DD{YX012}>", 11, true, true, 12},  // any direction but "P" counts forward
      {"<DD{Y}x", 7, true, true, 0},        // long form cut at the end of the text
      {"<MM/DD/YY{", 10, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Token token = ReadToken(c.text, 0);
    ASSERT_EQ(token.kind, K::kDate);
    EXPECT_EQ(token.length, c.length);
    EXPECT_EQ(token.leading_zeros, c.leading_zeros);
    EXPECT_EQ(token.future, c.future);
    EXPECT_EQ(token.days, c.days);
  }
}

// No prefix begins another one, so the first match in the player's order is the only match.
TEST(TokenTable, NoPrefixBeginsAnother) {
  std::vector<std::string> prefixes;
  for (const TokenSpec& spec : TokenTable()) prefixes.emplace_back(spec.prefix);
  for (const std::string_view format : kDateFormats)
    prefixes.push_back("<" + std::string(format) + "{");
  for (const std::string_view format : kTimeFormats) {
    prefixes.push_back("<" + std::string(format) + "{N}>");
    prefixes.push_back("<" + std::string(format) + "{Y}>");
  }
  for (size_t i = 0; i < prefixes.size(); ++i) {
    for (size_t j = 0; j < prefixes.size(); ++j) {
      if (i != j) {
        EXPECT_FALSE(prefixes[j].starts_with(prefixes[i])) << prefixes[i] << " " << prefixes[j];
      }
    }
  }
}

// Sample parameters for a token of each table entry, so that every form is written and read.
Token Sample(const TokenSpec& spec) {
  Token token;
  token.kind = spec.kind;
  token.code = spec.code;
  for (size_t i = 0; i < 2; ++i) {
    const FieldSpec& field = spec.fields[i];
    if (field.type == FieldType::kInteger) token.numbers[i] = static_cast<int>(7 + 10 * i);
    if (field.type == FieldType::kDecimal) token.reals[i] = 1.5;
    if (field.type == FieldType::kCoordinate) token.reals[i] = 100.0 + 150 * i;
    if (field.type == FieldType::kDigits) token.text = std::string(field.width, '6');
  }
  if (spec.layout == Layout::kLaunchTitled) token.numbers[0] = 5;
  const bool has_text = spec.layout != Layout::kPlain && spec.layout != Layout::kFields;
  if (has_text) {
    const bool titled = spec.kind == K::kActivate || spec.kind == K::kLaunchNo ||
                        spec.kind == K::kLaunchYes ||
                        (spec.kind >= K::kWindowShut && spec.kind <= K::kWindowRestore);
    if (titled) token.title = "Untitled - Notepad";
    if (spec.kind != K::kActivate && !(titled && spec.layout != Layout::kLaunchTitled)) {
      token.text = "C:\\DATA\\A.TXT";
    }
    if (spec.layout == Layout::kFilePair || spec.layout == Layout::kLaunch ||
        spec.layout == Layout::kLaunchTitled) {
      token.text2 = "B.TXT";
    }
  }
  return token;
}

TEST(WriteToken, EveryFormReadsBackAsWritten) {
  std::vector<Token> tokens;
  for (const TokenSpec& spec : TokenTable()) tokens.push_back(Sample(spec));
  for (int format = 1; format <= 51; ++format) {
    Token date;
    date.kind = K::kDate;
    date.format = format;
    date.leading_zeros = format % 2 == 0;
    date.future = format % 3 != 0;
    date.days = format * 7;
    tokens.push_back(date);
  }
  for (int format = 1; format <= 26; ++format) {
    for (const bool zeros : {false, true}) {
      Token time;
      time.kind = K::kTime;
      time.format = format;
      time.leading_zeros = zeros;
      tokens.push_back(time);
    }
  }
  std::set<TokenKind> kinds;
  for (const Token& token : tokens) {
    const std::string written = WriteToken(token);
    SCOPED_TRACE(written);
    Token read = ReadToken(written + "tail", 0);
    EXPECT_EQ(read.length, written.size());
    read.spec = nullptr;
    read.length = 1;
    read.literal = 0;
    EXPECT_EQ(read, token);
    kinds.insert(token.kind);
  }
  EXPECT_EQ(kinds.size(), static_cast<size_t>(K::kTime));  // every kind but kLiteral
}

TEST(WriteToken, ExactForms) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {KeyToken(0x0D), "<ENTER>"},
      {KeyToken(0x02), "<RIGHT MOUSE>"},
      {KeyToken(0x41), ""},
      {PlainToken(K::kEndRepeat), "<ENDREP>"},
      {PlainToken(K::kDelay), ""},
      {AltKeypadToken("65").value(), "<ALT:065>"},
      {AltKeypadToken("0233").value(), "<ALT4:0233>"},
      {MouseMoveToken(false, 100, 250), "<MMS:00100,00250>"},
      {MouseMoveToken(true, -10, 5), "<MMW:-0010,00005>"},
      {WheelToken(true, 3), "<WFW:003>"},
      {WheelToken(false, 12), "<WBW:012>"},
      {DelayToken(1.5), "<DELAY:01.50>"},
      {DelayToken(0.25), "<DELAY:00.25>"},
      {DelayToken(12.5), "<DELAY:12.50>"},
      {MillisecondDelayToken(250), "<MSD:0250>"},
      {SpeedToken(0.5), "<SPEED:00.50>"},
      {SpeedToken(0), "<SPEED:00.00>"},
      {KeystrokeSpeedToken(0), "<SPKEY:0000>"},
      {MouseSpeedToken(100), "<SPMSE:0100>"},
      {PlainToken(K::kPause), "<PAUSE>"},
      {PauseAtToken(100, 200, "Insert the disk"), "<PAUSE:100,200Insert the disk>"},
      {PauseAtToken(5, 7, ""), "<PAUSE:005,007>"},
      {RepeatToken(10), "<REPEAT:0010>"},
      {RepeatCounterToken(3), "<III>"},
      {TextToken(K::kWindowMax, kCurrentWindow), "<WMAX:\"CURRENT\">"},
      {TextToken(K::kActivate, "report"), "<ACTIVATE:report>"},
      {TextToken(K::kWaveAsync, "ding.wav"), "<WAV2:ding.wav>"},
      {TextToken(K::kLaunch, "x"), ""},
      {WindowSizeToken(640, 480, "Untitled - Notepad"), "<WSIZE:0640,0480Untitled - Notepad>"},
      {WindowPosToken(-8, 0, "Editor"), "<WPOS:-008,0000Editor>"},
      {FilePairToken(K::kCopyFile, "a.txt", "b.txt"), "<COPYFILE:a.txt;b.txt>"},
      {LaunchToken("C:\\WINDOWS\\NOTEPAD.EXE", "C:\\README.TXT"),
       "<LAUNCH:C:\\WINDOWS\\NOTEPAD.EXE<PARAM>C:\\README.TXT>"},
      {LaunchToken("EDIT.EXE", ""), "<LAUNCH:EDIT.EXE>"},
      {LaunchTitledToken(K::kLaunchYes, 5, "Calc", "CALC.EXE", ""),
       "<LAUNCHYES:05Calc<LAUNCH:CALC.EXE>"},
      {LaunchTitledToken(K::kLaunchNo, 10, "Untitled", "NOTEPAD.EXE", "A.TXT"),
       "<LAUNCHNO:10Untitled<LAUNCH:NOTEPAD.EXE<PARAM>A.TXT>"},
      {DateToken(24, false, false, 7), "<DD Mmm YYYY{NP007}>"},
      {DateToken(1, true, true, 0), "<MM/DD/YY{YF000}>"},
      {TimeToken(1, true), "<hh:mm{Y}>"},
      {TimeToken(24, false), "<hh:mma{N}>"},
      // Values beyond a field are pinned so the token keeps its layout.
      {PauseAtToken(1000, 5, ""), "<PAUSE:999,005>"},
      {DelayToken(150), "<DELAY:99.99>"},
      {SpeedToken(-20), "<SPEED:-9.99>"},
      {RepeatToken(-12345), "<REPEAT:-999>"},
      {DateToken(1, true, true, 1500), "<MM/DD/YY{YF999}>"},
      {DateToken(1, true, true, -3), "<MM/DD/YY{YP003}>"},
      // A text cannot carry what would end it early.
      {TextToken(K::kActivate, "a > b"), "<ACTIVATE:a >"},
      {TextToken(K::kRemark, std::string(300, 'r')), "<REM:" + std::string(255, 'r') + ">"},
      {FilePairToken(K::kRenameFile, "a;b", "c"), "<RENFILE:a;c>"},
      {LaunchTitledToken(K::kLaunchNo, 1, "a<b", "P", ""), "<LAUNCHNO:01a<LAUNCH:P>"},
  };
  for (const auto& [written, expected] : cases) EXPECT_EQ(written, expected);
  const std::vector<std::pair<int, double>> capture_speeds = {
      {1, 1.0}, {2, 2.0}, {3, 0.5}, {4, 0.25}};
  for (const auto& [choice, factor] : capture_speeds) {
    const std::string_view written = CaptureSpeedToken(choice);
    const Token read = ReadToken(written, 0);
    EXPECT_EQ(read.kind, K::kSpeed);
    EXPECT_EQ(read.length, written.size());
    EXPECT_EQ(read.reals[0], factor);
  }
  EXPECT_EQ(CaptureSpeedToken(2), "<SPEED:00002>");
  EXPECT_EQ(CaptureSpeedToken(5), "");
  EXPECT_EQ(AltKeypadToken(""), std::nullopt);
  EXPECT_EQ(AltKeypadToken("12345"), std::nullopt);
  EXPECT_EQ(AltKeypadToken("6a"), std::nullopt);
}

TEST(MacroLimit, CutsTo5000AfterTellingTheUser) {
  sim::SimMessageBoxes boxes;
  std::string text(5000, 'x');
  EXPECT_FALSE(TruncateMacroText(text, boxes, "Error"));
  EXPECT_TRUE(boxes.shown().empty());

  text += "yz";
  EXPECT_TRUE(TruncateMacroText(text, boxes, "Error"));
  EXPECT_EQ(text, std::string(5000, 'x'));
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Error");
  EXPECT_EQ(boxes.shown()[0].text,
            "The size of the macro exceeds the 5000 character limit.  The macro will be "
            "truncated to 5000 characters.");

  text += "y";
  EXPECT_TRUE(TruncateMacroText(text, boxes));
  EXPECT_EQ(boxes.shown().back().title, "Warning");

  std::string quiet(5001, 'q');
  EXPECT_TRUE(CutToMacroLimit(quiet));
  EXPECT_EQ(quiet.size(), 5000u);
  EXPECT_FALSE(CutToMacroLimit(quiet));
}

}  // namespace
}  // namespace quillomat::language
