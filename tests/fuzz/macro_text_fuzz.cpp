// Any byte string, read token by token from start to end, finishes in at most one step per
// character and never reads outside the text (the sanitizers watch the reads). Every token
// read writes back to a token that reads as one whole token of the same kind, and that written
// form is stable.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "language/macro_text.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quillomat::language;
  // An exact-size copy, so that any read past the end is caught.
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string_view view = text;
  size_t steps = 0;
  for (size_t pos = 0; pos < view.size();) {
    const Token token = ReadToken(view, pos);
    Check(token.length >= 1 && token.length <= view.size() - pos);
    Check(token.title.size() <= kMaxTextParameter && token.text.size() <= kMaxTextParameter &&
          token.text2.size() <= kMaxTextParameter);
    if (token.kind != TokenKind::kLiteral) {
      const std::string written = WriteToken(token);
      const Token again = ReadToken(written, 0);
      Check(again.kind == token.kind && again.length == written.size());
      Check(WriteToken(again) == written);
    }
    pos += token.length;
    ++steps;
  }
  Check(steps <= view.size());
  return 0;
}
