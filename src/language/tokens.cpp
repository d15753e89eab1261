#include "language/tokens.h"

#include <array>

namespace quillomat::language {

namespace {

using K = TokenKind;

constexpr FieldSpec Int(uint8_t column, uint8_t width) {
  return {column, width, FieldType::kInteger};
}
constexpr FieldSpec Dec(uint8_t column) { return {column, 5, FieldType::kDecimal}; }
constexpr FieldSpec Coord(uint8_t column) { return {column, 5, FieldType::kCoordinate}; }
constexpr FieldSpec Digits(uint8_t column, uint8_t width) {
  return {column, width, FieldType::kDigits};
}

constexpr TokenSpec Plain(std::string_view prefix, TokenKind kind, uint8_t code = 0) {
  return {prefix, kind, Layout::kPlain, code, 0, 0, {}};
}
constexpr TokenSpec Key(std::string_view prefix, uint8_t vk) { return Plain(prefix, K::kKey, vk); }
constexpr TokenSpec Fields(std::string_view prefix, TokenKind kind, uint8_t close, FieldSpec a,
                           FieldSpec b = {}) {
  return {prefix, kind, Layout::kFields, 0, close, 0, {a, b}};
}
constexpr TokenSpec FieldsText(std::string_view prefix, TokenKind kind, uint8_t text_column,
                               FieldSpec a, FieldSpec b) {
  return {prefix, kind, Layout::kFieldsText, 0, 0, text_column, {a, b}};
}
constexpr TokenSpec Text(std::string_view prefix, TokenKind kind) {
  return {prefix, kind, Layout::kText, 0, 0, 0, {}};
}
constexpr TokenSpec Pair(std::string_view prefix, TokenKind kind) {
  return {prefix, kind, Layout::kFilePair, 0, 0, 0, {}};
}

constexpr uint8_t kVkShift = 0x10, kVkControl = 0x11, kVkAlt = 0x12, kVkLeftWin = 0x5B;

constexpr std::array kTable = {
    Key("<TAB>", 0x09),
    Key("<ENTER>", 0x0D),
    Key("<RIGHTWIN>", 0x5C),
    Key("<LEFTWIN>", 0x5B),
    Key("<APP>", 0x5D),
    Key("<BACKSPACE>", 0x08),
    Key("<ESC>", 0x1B),
    Key("<SPACE>", 0x20),
    Key("<LEFT ARROW>", 0x25),
    Key("<RIGHT ARROW>", 0x27),
    Key("<UP ARROW>", 0x26),
    Key("<DOWN ARROW>", 0x28),
    Plain("<TEST>", K::kTest),
    Key("<HOME>", 0x24),
    Key("<END>", 0x23),
    Key("<INSERT>", 0x2D),
    Key("<DELETE>", 0x2E),
    Key("<PAGE DOWN>", 0x22),
    Key("<PAGE UP>", 0x21),
    Plain("<CTLD>", K::kKeyDown, kVkControl),
    Plain("<CTLU>", K::kKeyUp, kVkControl),
    Plain("<ALTD>", K::kKeyDown, kVkAlt),
    Plain("<ALTU>", K::kKeyUp, kVkAlt),
    Plain("<SHFD>", K::kKeyDown, kVkShift),
    Plain("<SHFU>", K::kKeyUp, kVkShift),
    Plain("<WIND>", K::kKeyDown, kVkLeftWin),
    Plain("<WINU>", K::kKeyUp, kVkLeftWin),
    Plain("<RIGHT MOUSE>", K::kMouseKey, 0x02),
    Plain("<MIDDLE MOUSE>", K::kMouseKey, 0x04),
    FieldsText("<PAUSE:", K::kPauseAt, 14, Int(7, 3), Int(11, 3)),
    Plain("<PAUSE>", K::kPause),
    Fields("<DELAY:", K::kDelay, 12, Dec(7)),
    Fields("<SPEED:", K::kSpeed, 12, Dec(7)),
    Fields("<MSD:", K::kMillisecondDelay, 9, Int(5, 4)),
    Text("<REM:", K::kRemark),
    Text("<WSHUT:", K::kWindowShut),
    Text("<WHIDE:", K::kWindowHide),
    Text("<WSHOW:", K::kWindowShow),
    FieldsText("<WSIZE:", K::kWindowSize, 16, Int(7, 4), Int(12, 4)),
    FieldsText("<WPOS:", K::kWindowPos, 15, Int(6, 4), Int(11, 4)),
    Fields("<ALT:", K::kAltKeypad3, 8, Digits(5, 3)),
    Fields("<ALT4:", K::kAltKeypad4, 10, Digits(6, 4)),
    Plain("<IIII>", K::kRepeatCounter, 4),
    Plain("<III>", K::kRepeatCounter, 3),
    Plain("<II>", K::kRepeatCounter, 2),
    Plain("<I>", K::kRepeatCounter, 1),
    Text("<CLIPF:", K::kClipFile),
    Plain("<CLIPC>", K::kClipCopy),
    Plain("<CLIPP>", K::kClipPaste),
    Plain("<BEGCLIP>", K::kBeginClip),
    Plain("<PROMPTREP>", K::kPromptRepeat),
    Fields("<REPEAT:", K::kRepeat, 12, Int(8, 4)),
    Fields("<SPKEY:", K::kKeystrokeSpeed, 11, Int(7, 4)),
    Fields("<SPMSE:", K::kMouseSpeed, 11, Int(7, 4)),
    Text("<SWAP:", K::kSwap),
    Text("<TFILE:", K::kTextFile),
    Text("<HTTP:", K::kHttp),
    Text("<FTP:", K::kFtp),
    Plain("<ENDREP>", K::kEndRepeat),
    Plain("<ENDCLIP>", K::kEndClip),
    Plain("<LDN>", K::kLeftDown),
    Plain("<LUP>", K::kLeftUp),
    Plain("<LCLK>", K::kLeftClick),
    Plain("<LDCLK>", K::kLeftDoubleClick),
    Plain("<RDN>", K::kRightDown),
    Plain("<RUP>", K::kRightUp),
    Plain("<RCLK>", K::kRightClick),
    Plain("<RDCLK>", K::kRightDoubleClick),
    Plain("<MDN>", K::kMiddleDown),
    Plain("<MUP>", K::kMiddleUp),
    Plain("<MCLK>", K::kMiddleClick),
    Plain("<MDCLK>", K::kMiddleDoubleClick),
    Fields("<WFW:", K::kWheelForward, 8, Int(5, 3)),
    Fields("<WBW:", K::kWheelBackward, 8, Int(5, 3)),
    Fields("<MMS:", K::kMouseMoveScreen, 16, Coord(5), Coord(11)),
    Fields("<MMW:", K::kMouseMoveWindow, 16, Coord(5), Coord(11)),
    Key("<F1>", 0x70),
    Key("<F2>", 0x71),
    Key("<F3>", 0x72),
    Key("<F4>", 0x73),
    Key("<F5>", 0x74),
    Key("<F6>", 0x75),
    Key("<F7>", 0x76),
    Key("<F8>", 0x77),
    Key("<F9>", 0x78),
    Key("<F10>", 0x79),
    Key("<F11>", 0x7A),
    Key("<F12>", 0x7B),
    Key("<F13>", 0x7C),
    Key("<F14>", 0x7D),
    Key("<F15>", 0x7E),
    Key("<F16>", 0x7F),
    Key("<F17>", 0x80),
    Key("<F18>", 0x81),
    Key("<F19>", 0x82),
    Key("<F20>", 0x83),
    Key("<F21>", 0x84),
    Key("<F22>", 0x85),
    Key("<F23>", 0x86),
    Key("<F24>", 0x87),
    Plain("<SHIFT>", K::kShift),
    Plain("<CTRL>", K::kCtrl),
    Plain("<ALT>", K::kAlt),
    Key("<ATTN>", 0xF6),
    Key("<CRSEL>", 0xF7),
    Key("<EXSEL>", 0xF8),
    Key("<EREOF>", 0xF9),
    Key("<PLAY>", 0xFA),
    Key("<ZOOM>", 0xFB),
    Text("<WAV1:", K::kWaveWait),
    Text("<WAV2:", K::kWaveAsync),
    Plain("<BEEP>", K::kBeep),
    Text("<CHDIR:", K::kChangeDir),
    Text("<DELFILE:", K::kDeleteFile),
    Pair("<COPYFILE:", K::kCopyFile),
    Pair("<RENFILE:", K::kRenameFile),
    Text("<ACTIVATE:", K::kActivate),
    TokenSpec{"<LAUNCH:", K::kLaunch, Layout::kLaunch, 0, 0, 0, {}},
    TokenSpec{"<LAUNCHNO:", K::kLaunchNo, Layout::kLaunchTitled, 0, 0, 0, {}},
    TokenSpec{"<LAUNCHYES:", K::kLaunchYes, Layout::kLaunchTitled, 0, 0, 0, {}},
    Key("<PA1>", 0xFD),
    Key("<PRTSCR>", 0x2C),
    Key("<KEYP0>", 0x60),
    Key("<KEYP1>", 0x61),
    Key("<KEYP2>", 0x62),
    Key("<KEYP3>", 0x63),
    Key("<KEYP4>", 0x64),
    Key("<KEYP5>", 0x65),
    Key("<KEYP6>", 0x66),
    Key("<KEYP7>", 0x67),
    Key("<KEYP8>", 0x68),
    Key("<KEYP9>", 0x69),
    Key("<KEYP.>", 0x6E),
    Key("<KEYP/>", 0x6F),
    Key("<KEYP*>", 0x6A),
    Key("<KEYP->", 0x6D),
    Key("<KEYP+>", 0x6B),
    Text("<WMAX:", K::kWindowMax),
    Text("<WMIN:", K::kWindowMin),
    Text("<WCLS:", K::kWindowClose),
    Text("<WRES:", K::kWindowRestore),
};

bool SharesKind(TokenKind kind) {
  return kind == K::kKey || kind == K::kMouseKey || kind == K::kKeyDown || kind == K::kKeyUp ||
         kind == K::kRepeatCounter;
}

}  // namespace

std::span<const TokenSpec> TokenTable() { return kTable; }

const TokenSpec* FindSpec(TokenKind kind, int code) {
  for (const TokenSpec& spec : kTable) {
    if (spec.kind == kind && (!SharesKind(kind) || spec.code == code)) return &spec;
  }
  return nullptr;
}

}  // namespace quillomat::language
