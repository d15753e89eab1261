#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quillomat::language {

// What a piece of macro text stands for. Each kind has one token form, except the key and
// modifier kinds and the repeat counter, which several forms share and tell apart by `code`.
enum class TokenKind : uint8_t {
  kLiteral,   // one character typed as itself (a CR LF pair counts as one)
  kKey,       // press and release the key `code`
  kMouseKey,  // key events with a mouse button's code `code`, without the keystroke delay
  kTest,
  kKeyDown,  // <CTLD> <ALTD> <SHFD> <WIND>: key `code` down
  kKeyUp,    // <CTLU> <ALTU> <SHFU> <WINU>: key `code` up
  kShift,    // held for the next key
  kCtrl,
  kAlt,               // held for the next key, or released by a second <ALT>
  kAltKeypad3,        // <ALT:ddd>
  kAltKeypad4,        // <ALT4:dddd>
  kPause,             // <PAUSE>
  kPauseAt,           // <PAUSE:ttt,lllmessage>
  kDelay,             // <DELAY:ss.hh>
  kSpeed,             // <SPEED:vvvvv>
  kMillisecondDelay,  // <MSD:nnnn>
  kKeystrokeSpeed,    // <SPKEY:nnnn>
  kMouseSpeed,        // <SPMSE:nnnn>
  kRemark,
  kWindowShut,
  kWindowHide,
  kWindowShow,
  kWindowSize,  // <WSIZE:wwww,hhhhtitle>
  kWindowPos,   // <WPOS:xxxx,yyyytitle>
  kWindowMax,
  kWindowMin,
  kWindowClose,
  kWindowRestore,
  kRepeatCounter,  // <I> .. <IIII>, `code` = padded width
  kClipFile,
  kClipCopy,
  kClipPaste,
  kBeginClip,
  kEndClip,
  kPromptRepeat,
  kRepeat,
  kEndRepeat,
  kSwap,
  kTextFile,
  kHttp,
  kFtp,
  kLeftDown,
  kLeftUp,
  kLeftClick,
  kLeftDoubleClick,
  kRightDown,
  kRightUp,
  kRightClick,
  kRightDoubleClick,
  kMiddleDown,
  kMiddleUp,
  kMiddleClick,
  kMiddleDoubleClick,
  kWheelForward,
  kWheelBackward,
  kMouseMoveScreen,
  kMouseMoveWindow,
  kWaveWait,
  kWaveAsync,
  kBeep,
  kChangeDir,
  kDeleteFile,
  kCopyFile,
  kRenameFile,
  kActivate,
  kLaunch,     // <LAUNCH:program<PARAM>parameters>
  kLaunchNo,   // <LAUNCHNO:sstitle<LAUNCH:program>
  kLaunchYes,  // <LAUNCHYES:sstitle<LAUNCH:program>
  kDate,
  kTime,
};

// How the characters after a token's prefix are laid out.
enum class Layout : uint8_t {
  kPlain,         // the prefix is the whole token
  kFields,        // fixed fields, accepted only with ">" at the closing column
  kText,          // a text parameter from the end of the prefix to the next ">"
  kFieldsText,    // fixed fields, then a text parameter from text_column (no closing check)
  kFilePair,      // first ";" second ">"
  kLaunch,        // program, optionally "<PARAM>" parameters, ">"
  kLaunchTitled,  // 2-digit wait, title up to "<", the 8 characters "<LAUNCH:", as kLaunch
};

enum class FieldType : uint8_t {
  kNone,
  kInteger,     // read as an integer field, written zero padded
  kDecimal,     // read as a real, written with two decimals ("01.50")
  kCoordinate,  // read as a real, written as a zero-padded whole number
  kDigits,      // the raw characters (Alt keypad digits)
};

// A fixed field: `width` characters from `column`, counted from the "<" as column 0.
struct FieldSpec {
  uint8_t column = 0;
  uint8_t width = 0;
  FieldType type = FieldType::kNone;
};

struct TokenSpec {
  std::string_view prefix;
  TokenKind kind;
  Layout layout = Layout::kPlain;
  uint8_t code = 0;          // virtual-key code, or the repeat counter's width
  uint8_t close_column = 0;  // kFields: where the ">" must stand
  uint8_t text_column = 0;   // kFieldsText: where the text parameter starts
  FieldSpec fields[2] = {};
};

// Every token with a fixed prefix, in the order the player tries them. The date and time tokens
// follow them: the 51 date formats, then the 26 time formats with "{N}>", then with "{Y}>".
std::span<const TokenSpec> TokenTable();

// The table entry that writes a token of this kind (and code, where several share a kind).
const TokenSpec* FindSpec(TokenKind kind, int code = 0);

}  // namespace quillomat::language
