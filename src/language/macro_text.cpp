#include "language/macro_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quillomat::language {

namespace {

using K = TokenKind;

bool At(std::string_view text, size_t pos, char c) { return pos < text.size() && text[pos] == c; }

bool StartsAt(std::string_view text, size_t pos, std::string_view what) {
  return pos <= text.size() && text.substr(pos).starts_with(what);
}

std::string CutToParameter(std::string_view value) {
  return std::string(value.substr(0, kMaxTextParameter));
}

// A text parameter from `start` to the next ">" (or the end of the text). `end` is where the
// reader continues: past the ">", or the end of the text.
struct TextSpan {
  std::string_view value;
  size_t end;
};

TextSpan ReadTextSpan(std::string_view text, size_t start) {
  if (start >= text.size()) return {{}, text.size()};
  const size_t close = text.find('>', start);
  if (close == std::string_view::npos) return {text.substr(start), text.size()};
  return {text.substr(start, close - start), close + 1};
}

// The launch command: up to the first ">", or, when what was read so far contains "<PARAM",
// up to the ">" after that one (the first closes "<PARAM>"); split into program and parameters
// at "<PARAM>". Returns where the reader continues.
size_t ReadLaunchCommand(std::string_view text, size_t start, Token& token) {
  std::string_view command;
  size_t end = text.size();
  if (start < text.size()) {
    const size_t close = text.find('>', start);
    if (close == std::string_view::npos) {
      command = text.substr(start);
    } else if (text.substr(start, close - start).find("<PARAM") == std::string_view::npos) {
      command = text.substr(start, close - start);
      end = close + 1;
    } else {
      const size_t second = text.find('>', close + 1);
      if (second == std::string_view::npos) {
        command = text.substr(start);
      } else {
        command = text.substr(start, second - start);
        end = second + 1;
      }
    }
  }
  const size_t separator = command.find(kParamSeparator);
  token.text = CutToParameter(command.substr(0, separator));
  if (separator != std::string_view::npos) {
    token.text2 = CutToParameter(command.substr(separator + kParamSeparator.size()));
  }
  return end;
}

bool TakesTitle(TokenKind kind) {
  switch (kind) {
    case K::kWindowShut:
    case K::kWindowHide:
    case K::kWindowShow:
    case K::kWindowSize:
    case K::kWindowPos:
    case K::kWindowMax:
    case K::kWindowMin:
    case K::kWindowClose:
    case K::kWindowRestore:
    case K::kActivate:
      return true;
    default:
      return false;
  }
}

void ReadFields(const TokenSpec& spec, std::string_view text, size_t pos, Token& token) {
  for (size_t i = 0; i < 2; ++i) {
    const FieldSpec& field = spec.fields[i];
    const size_t start = pos + field.column;
    switch (field.type) {
      case FieldType::kNone:
        break;
      case FieldType::kInteger:
        token.numbers[i] = ReadIntegerField(text, start, field.width);
        break;
      case FieldType::kDecimal:
      case FieldType::kCoordinate:
        token.reals[i] = ReadRealField(text, start, field.width);
        break;
      case FieldType::kDigits:
        token.text = start < text.size() ? std::string(text.substr(start, field.width)) : "";
        break;
    }
  }
}

Token ReadFixed(const TokenSpec& spec, std::string_view text, size_t pos) {
  Token token;
  token.kind = spec.kind;
  token.spec = &spec;
  token.code = spec.code;
  std::string& parameter = TakesTitle(spec.kind) ? token.title : token.text;
  size_t end = pos + spec.prefix.size();
  switch (spec.layout) {
    case Layout::kPlain:
      break;
    case Layout::kFields:
      ReadFields(spec, text, pos, token);
      end = pos + spec.close_column + 1;
      break;
    case Layout::kText: {
      const TextSpan span = ReadTextSpan(text, end);
      parameter = CutToParameter(span.value);
      end = span.end;
      break;
    }
    case Layout::kFieldsText: {
      ReadFields(spec, text, pos, token);
      const TextSpan span = ReadTextSpan(text, pos + spec.text_column);
      parameter = CutToParameter(span.value);
      end = span.end;
      break;
    }
    case Layout::kFilePair: {
      const TextSpan span = ReadTextSpan(text, end);
      const size_t semicolon = span.value.find(';');
      token.text = CutToParameter(span.value.substr(0, semicolon));
      if (semicolon != std::string_view::npos) {
        token.text2 = CutToParameter(span.value.substr(semicolon + 1));
      }
      end = span.end;
      break;
    }
    case Layout::kLaunch:
      end = ReadLaunchCommand(text, end, token);
      break;
    case Layout::kLaunchTitled: {
      token.numbers[0] = ReadIntegerField(text, end, 2);
      const size_t title_start = std::min(end + 2, text.size());
      const size_t title_end = std::min(text.find('<', title_start), text.size());
      token.title = CutToParameter(text.substr(title_start, title_end - title_start));
      // The 8 characters of "<LAUNCH:" are skipped without being checked.
      end = ReadLaunchCommand(text, std::min(title_end + 8, text.size()), token);
      break;
    }
  }
  token.length = std::min(end, text.size()) - pos;
  return token;
}

// "<" + format + "{" at pos; the character three places after the "{" picks the short form.
bool ReadDate(std::string_view text, size_t pos, Token& token) {
  for (size_t i = 0; i < kDateFormats.size(); ++i) {
    const std::string_view format = kDateFormats[i];
    const size_t brace = pos + 1 + format.size();
    if (!StartsAt(text, pos + 1, format) || !At(text, brace, '{')) continue;
    token.kind = K::kDate;
    token.format = static_cast<int>(i) + 1;
    token.leading_zeros = At(text, brace + 1, 'Y');
    if (At(text, brace + 3, '>')) {
      token.future = true;
      token.days = 0;
      token.length = format.size() + 5;
    } else {
      token.future = !At(text, brace + 2, 'P');
      token.days = ReadIntegerField(text, brace + 3, 3);
      token.length = std::min(format.size() + 9, text.size() - pos);
    }
    return true;
  }
  return false;
}

bool ReadTime(std::string_view text, size_t pos, Token& token) {
  for (const bool leading_zeros : {false, true}) {
    for (size_t i = 0; i < kTimeFormats.size(); ++i) {
      const std::string_view format = kTimeFormats[i];
      if (!StartsAt(text, pos + 1, format)) continue;
      if (!StartsAt(text, pos + 1 + format.size(), leading_zeros ? "{Y}>" : "{N}>")) continue;
      token.kind = K::kTime;
      token.format = static_cast<int>(i) + 1;
      token.leading_zeros = leading_zeros;
      token.length = format.size() + 5;
      return true;
    }
  }
  return false;
}

// --- Writing ---------------------------------------------------------------------------------

std::string Padded(long long value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

long long PowerOfTen(size_t n) {
  long long p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// Exactly `width` characters; a negative value keeps its "-" inside the width.
std::string IntegerField(long long value, size_t width) {
  const long long largest = PowerOfTen(width) - 1;
  const long long smallest = -(PowerOfTen(width - 1) - 1);
  value = std::clamp(value, smallest, largest);
  if (value < 0) return "-" + Padded(-value, width - 1);
  return Padded(value, width);
}

long long RoundToWhole(double value, double factor) {
  if (!std::isfinite(value)) return 0;
  return std::llround(std::clamp(value * factor, -1e15, 1e15));
}

// "ss.hh": two decimals, five characters ("01.50", "-1.50").
std::string DecimalField(std::optional<double> value) {
  const long long cents = std::clamp(RoundToWhole(value.value_or(0.0), 100.0), -999LL, 9999LL);
  const long long magnitude = cents < 0 ? -cents : cents;
  const std::string fraction = Padded(magnitude % 100, 2);
  if (cents < 0) return "-" + std::to_string(magnitude / 100) + "." + fraction;
  return Padded(magnitude / 100, 2) + "." + fraction;
}

std::string WriteField(const FieldSpec& field, const Token& token, size_t i) {
  switch (field.type) {
    case FieldType::kInteger:
      return IntegerField(token.numbers[i], field.width);
    case FieldType::kDecimal:
      return DecimalField(token.reals[i]);
    case FieldType::kCoordinate:
      return IntegerField(RoundToWhole(token.reals[i].value_or(0.0), 1.0), field.width);
    case FieldType::kDigits: {
      std::string digits = token.text.substr(0, field.width);
      digits.insert(0, field.width - digits.size(), '0');
      return digits;
    }
    case FieldType::kNone:
      break;
  }
  return {};
}

// A text parameter as it can stand in a token: before the first character that would end it
// early, and at most 255 characters.
std::string CleanParameter(std::string_view value, std::string_view enders) {
  value = value.substr(0, value.find_first_of(enders));
  return CutToParameter(value);
}

std::string LaunchCommand(const Token& token) {
  std::string_view program = token.text;
  program = program.substr(0, program.find('>'));
  program = program.substr(0, program.find("<PARAM"));
  std::string command = CutToParameter(program);
  const std::string parameters = CleanParameter(token.text2, ">");
  if (!parameters.empty()) command += std::string(kParamSeparator) + parameters;
  return command;
}

}  // namespace

int ReadIntegerField(std::string_view text, size_t pos, size_t width) {
  if (pos >= text.size()) return 0;
  const std::string_view field = text.substr(pos, width);
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  long long value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = std::min(value * 10 + (field[i] - '0'), 1'000'000'000LL);
  }
  return static_cast<int>(negative ? -value : value);
}

std::optional<double> ReadRealField(std::string_view text, size_t pos, size_t width) {
  if (pos >= text.size()) return std::nullopt;
  std::string_view field = text.substr(pos, width);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  bool negative = false;
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  size_t digits = 0, points = 0;
  for (const char c : field) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || points > 1) return std::nullopt;
  double value = 0;
  const auto [end, error] =
      std::from_chars(field.data(), field.data() + field.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
  return negative ? -value : value;
}

Token ReadToken(std::string_view text, size_t pos) {
  Token token;
  if (pos >= text.size()) return token;
  token.literal = text[pos];
  if (text[pos] != '<') {
    if (text[pos] == '\r' && At(text, pos + 1, '\n')) token.length = 2;
    return token;
  }
  for (const TokenSpec& spec : TokenTable()) {
    if (!StartsAt(text, pos, spec.prefix)) continue;
    if (spec.layout == Layout::kFields && !At(text, pos + spec.close_column, '>')) continue;
    return ReadFixed(spec, text, pos);
  }
  Token dated;
  if (ReadDate(text, pos, dated) || ReadTime(text, pos, dated)) return dated;
  return token;  // a "<" that starts no token is typed as itself
}

std::string WriteToken(const Token& token) {
  if (token.kind == K::kLiteral) {
    if (token.literal == '\r' && token.length == 2) return "\r\n";
    return std::string(1, token.literal);
  }
  if (token.kind == K::kDate) {
    if (token.format < 1 || token.format > static_cast<int>(kDateFormats.size())) return {};
    const bool past = token.future ? token.days < 0 : token.days > 0;
    const long long days = std::min<long long>(std::llabs(token.days), 999);
    return "<" + std::string(kDateFormats[token.format - 1]) + "{" +
           (token.leading_zeros ? "Y" : "N") + (past ? "P" : "F") + Padded(days, 3) + "}>";
  }
  if (token.kind == K::kTime) {
    if (token.format < 1 || token.format > static_cast<int>(kTimeFormats.size())) return {};
    return "<" + std::string(kTimeFormats[token.format - 1]) +
           (token.leading_zeros ? "{Y}>" : "{N}>");
  }
  const TokenSpec* spec = token.spec != nullptr ? token.spec : FindSpec(token.kind, token.code);
  if (spec == nullptr) return {};
  const std::string& parameter = TakesTitle(spec->kind) ? token.title : token.text;
  std::string out(spec->prefix);
  switch (spec->layout) {
    case Layout::kPlain:
      break;
    case Layout::kFields:
    case Layout::kFieldsText:
      for (size_t i = 0; i < 2; ++i) {
        const FieldSpec& field = spec->fields[i];
        if (field.type == FieldType::kNone) continue;
        if (out.size() < field.column) out.append(field.column - out.size(), ',');
        out += WriteField(field, token, i);
      }
      if (spec->layout == Layout::kFieldsText) out += CleanParameter(parameter, ">");
      out += '>';
      break;
    case Layout::kText:
      out += CleanParameter(parameter, ">") + ">";
      break;
    case Layout::kFilePair:
      out += CleanParameter(token.text, ">;") + ";" + CleanParameter(token.text2, ">") + ">";
      break;
    case Layout::kLaunch:
      out += LaunchCommand(token) + ">";
      break;
    case Layout::kLaunchTitled:
      out += IntegerField(token.numbers[0], 2) + CleanParameter(token.title, "<") +
             "<LAUNCH:" + LaunchCommand(token) + ">";
      break;
  }
  return out;
}

// --- Convenience writers -----------------------------------------------------------------------

namespace {
Token Of(TokenKind kind, int code = 0) {
  Token token;
  token.kind = kind;
  token.code = code;
  return token;
}
}  // namespace

std::string KeyToken(int vk) {
  if (const TokenSpec* spec = FindSpec(K::kKey, vk)) return std::string(spec->prefix);
  if (const TokenSpec* spec = FindSpec(K::kMouseKey, vk)) return std::string(spec->prefix);
  return {};
}

std::string PlainToken(TokenKind kind) {
  const TokenSpec* spec = FindSpec(kind);
  return spec != nullptr && spec->layout == Layout::kPlain ? std::string(spec->prefix) : "";
}

std::optional<std::string> AltKeypadToken(std::string_view digits) {
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  Token token = Of(digits.size() == 4 ? K::kAltKeypad4 : K::kAltKeypad3);
  token.text = digits;
  return WriteToken(token);
}

std::string MouseMoveToken(bool window_relative, int x, int y) {
  Token token = Of(window_relative ? K::kMouseMoveWindow : K::kMouseMoveScreen);
  token.reals = {x, y};
  return WriteToken(token);
}

std::string WheelToken(bool forward, int notches) {
  Token token = Of(forward ? K::kWheelForward : K::kWheelBackward);
  token.numbers[0] = notches;
  return WriteToken(token);
}

std::string DelayToken(double seconds) {
  Token token = Of(K::kDelay);
  token.reals[0] = seconds;
  return WriteToken(token);
}

std::string MillisecondDelayToken(int milliseconds) {
  Token token = Of(K::kMillisecondDelay);
  token.numbers[0] = milliseconds;
  return WriteToken(token);
}

std::string SpeedToken(double factor) {
  Token token = Of(K::kSpeed);
  token.reals[0] = factor;
  return WriteToken(token);
}

std::string_view CaptureSpeedToken(int choice) {
  static constexpr std::string_view kForms[] = {"<SPEED:00001>", "<SPEED:00002>", "<SPEED:00.50>",
                                                "<SPEED:00.25>"};
  return choice >= 1 && choice <= 4 ? kForms[choice - 1] : std::string_view();
}

std::string KeystrokeSpeedToken(int milliseconds) {
  Token token = Of(K::kKeystrokeSpeed);
  token.numbers[0] = milliseconds;
  return WriteToken(token);
}

std::string MouseSpeedToken(int milliseconds) {
  Token token = Of(K::kMouseSpeed);
  token.numbers[0] = milliseconds;
  return WriteToken(token);
}

std::string PauseAtToken(int top, int left, std::string_view message) {
  Token token = Of(K::kPauseAt);
  token.numbers = {top, left};
  token.text = message;
  return WriteToken(token);
}

std::string RepeatToken(int count) {
  Token token = Of(K::kRepeat);
  token.numbers[0] = count;
  return WriteToken(token);
}

std::string RepeatCounterToken(int width) { return WriteToken(Of(K::kRepeatCounter, width)); }

std::string TextToken(TokenKind kind, std::string_view text) {
  const TokenSpec* spec = FindSpec(kind);
  if (spec == nullptr || spec->layout != Layout::kText) return {};
  Token token = Of(kind);
  (TakesTitle(kind) ? token.title : token.text) = text;
  return WriteToken(token);
}

std::string WindowSizeToken(int width, int height, std::string_view title) {
  Token token = Of(K::kWindowSize);
  token.numbers = {width, height};
  token.title = title;
  return WriteToken(token);
}

std::string WindowPosToken(int left, int top, std::string_view title) {
  Token token = Of(K::kWindowPos);
  token.numbers = {left, top};
  token.title = title;
  return WriteToken(token);
}

std::string FilePairToken(TokenKind kind, std::string_view first, std::string_view second) {
  if (kind != K::kCopyFile && kind != K::kRenameFile) return {};
  Token token = Of(kind);
  token.text = first;
  token.text2 = second;
  return WriteToken(token);
}

std::string LaunchToken(std::string_view program, std::string_view parameters) {
  Token token = Of(K::kLaunch);
  token.text = program;
  token.text2 = parameters;
  return WriteToken(token);
}

std::string LaunchTitledToken(TokenKind kind, int wait_seconds, std::string_view title,
                              std::string_view program, std::string_view parameters) {
  if (kind != K::kLaunchNo && kind != K::kLaunchYes) return {};
  Token token = Of(kind);
  token.numbers[0] = wait_seconds;
  token.title = title;
  token.text = program;
  token.text2 = parameters;
  return WriteToken(token);
}

std::string DateToken(int format, bool leading_zeros, bool future, int days) {
  Token token = Of(K::kDate);
  token.format = format;
  token.leading_zeros = leading_zeros;
  token.future = future;
  token.days = days;
  return WriteToken(token);
}

std::string TimeToken(int format, bool leading_zeros) {
  Token token = Of(K::kTime);
  token.format = format;
  token.leading_zeros = leading_zeros;
  return WriteToken(token);
}

bool CutToMacroLimit(std::string& text) {
  if (text.size() <= kMaxMacroText) return false;
  text.resize(kMaxMacroText);
  return true;
}

bool TruncateMacroText(std::string& text, platform::MessageBoxes& boxes, std::string_view title) {
  if (text.size() <= kMaxMacroText) return false;
  boxes.Show(std::string(title), std::string(kMacroTooLongText));
  return CutToMacroLimit(text);
}

}  // namespace quillomat::language
