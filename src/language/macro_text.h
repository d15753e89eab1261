#pragma once

// The macro text language: literal characters plus case-sensitive bracketed tokens. One reader
// for the player, the script view and everything else that reads macro text, and the writers
// that the script editor, the command dialogs and capture build their tokens with.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "language/date_time_formats.h"
#include "language/tokens.h"
#include "platform/message_boxes.h"

namespace quillomat::language {

inline constexpr size_t kMaxMacroText = 5000;
inline constexpr size_t kMaxTextParameter = 255;

// The window name that stands for the foreground window: nine characters, quotes included.
inline constexpr std::string_view kCurrentWindow = "\"CURRENT\"";
inline constexpr std::string_view kParamSeparator = "<PARAM>";
inline constexpr std::string_view kEndRepeatToken = "<ENDREP>";
inline constexpr std::string_view kEndClipToken = "<ENDCLIP>";

inline constexpr std::string_view kMacroTooLongText =
    "The size of the macro exceeds the 5000 character limit.  The macro will be truncated to "
    "5000 characters.";

// One token (or literal character) as read from macro text. Which members carry values
// depends on the kind; the rest keep their defaults.
struct Token {
  TokenKind kind = TokenKind::kLiteral;
  size_t length = 1;                // characters consumed; the reader continues after them
  const TokenSpec* spec = nullptr;  // the table entry (fixed-prefix tokens only)
  char literal = 0;                 // kLiteral: the character typed (CR for a CR LF pair)
  int code = 0;                     // key code, or the repeat counter's width

  // Fixed fields in column order. Integer fields go to `numbers`; real ones (delay, speed,
  // mouse coordinates) to `reals`, empty when the field does not hold a valid number.
  std::array<int, 2> numbers = {};
  std::array<std::optional<double>, 2> reals = {};

  std::string title;  // window tokens, <ACTIVATE:, the window a launch-and-activate waits for
  std::string text;   // file, folder, address, remark, pause message, program, Alt digits,
                      // copy/rename source
  std::string text2;  // copy/rename target, launch parameters

  // kDate / kTime: the format number (1-based), the flags and the day offset.
  int format = 0;
  bool leading_zeros = false;
  bool future = true;
  int days = 0;

  bool operator==(const Token&) const = default;
};

// Reads what begins at `pos` (which must be < text.size()): a token when one is recognised
// there, in the player's matching order and with its closing-column checks, otherwise one
// literal character. Never reads outside `text`; `length` is at least 1 and never runs past
// the end of the text.
Token ReadToken(std::string_view text, size_t pos);

// An integer field of `width` characters from `pos` (cut at the end of the text): leading
// blanks skipped, an optional sign, then digits up to the first other character; no digits
// gives 0.
int ReadIntegerField(std::string_view text, size_t pos, size_t width);

// A real field: blanks around an optional sign, digits and an optional decimal point with
// more digits. Anything else (or no digit at all) is not a valid number.
std::optional<double> ReadRealField(std::string_view text, size_t pos, size_t width);

// True when a window name is the current-window marker.
inline bool IsCurrentWindow(std::string_view title) { return title == kCurrentWindow; }

// Writes a token's text. Numbers are zero padded to their field width; values beyond a field
// are pinned to the largest (or smallest) value the field can hold so the token keeps its
// layout; a negative value carries its "-" inside the width. A text parameter is cut before
// the first character that would end it early (">", and for launch titles "<") and to 255
// characters. kLiteral writes its character. A kind without a form writes "".
std::string WriteToken(const Token& token);

// Convenience writers for producers; each is WriteToken of the corresponding token.
std::string KeyToken(int vk);            // "" when no key token has that code
std::string PlainToken(TokenKind kind);  // tokens without parameters ("<BEEP>", "<ENDREP>")
std::optional<std::string> AltKeypadToken(std::string_view digits);  // 1..4 digits
std::string MouseMoveToken(bool window_relative, int x, int y);
std::string WheelToken(bool forward, int notches);
std::string DelayToken(double seconds);
std::string MillisecondDelayToken(int milliseconds);
std::string SpeedToken(double factor);
// The speed a timed capture starts with: 1 normal, 2 half speed, 3 double, 4 four times.
// "" for any other choice.
std::string_view CaptureSpeedToken(int choice);
std::string KeystrokeSpeedToken(int milliseconds);
std::string MouseSpeedToken(int milliseconds);
std::string PauseAtToken(int top, int left, std::string_view message);
std::string RepeatToken(int count);
std::string RepeatCounterToken(int width);  // 1..4
// A single text parameter: window commands (pass kCurrentWindow for the current window),
// <ACTIVATE:, <REM:, <CLIPF:, <HTTP:, <FTP:, <SWAP:, <TFILE:, <CHDIR:, <DELFILE:, <WAV1:, <WAV2:.
std::string TextToken(TokenKind kind, std::string_view text);
std::string WindowSizeToken(int width, int height, std::string_view title);
std::string WindowPosToken(int left, int top, std::string_view title);
std::string FilePairToken(TokenKind kind, std::string_view first, std::string_view second);
std::string LaunchToken(std::string_view program, std::string_view parameters);
// kLaunchNo or kLaunchYes.
std::string LaunchTitledToken(TokenKind kind, int wait_seconds, std::string_view title,
                              std::string_view program, std::string_view parameters);
std::string DateToken(int format, bool leading_zeros, bool future, int days);  // long form
std::string TimeToken(int format, bool leading_zeros);

// The macro-length rule. CutToMacroLimit cuts text to 5000 characters and says whether it had
// to; TruncateMacroText first tells the user (through the message boxes, with the given title)
// and then cuts.
bool CutToMacroLimit(std::string& text);
bool TruncateMacroText(std::string& text, platform::MessageBoxes& boxes,
                       std::string_view title = "Warning");

}  // namespace quillomat::language
