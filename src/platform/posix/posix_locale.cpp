#include "platform/posix/posix_locale.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

namespace quillomat::posix {

namespace {

std::string ToCp1252(const char* text, const char* codeset) {
  std::string in(text);
  iconv_t cd = iconv_open("CP1252//TRANSLIT", codeset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return in;
  std::string out(in.size() * 4 + 8, '\0');
  char* src = in.data();
  size_t src_left = in.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  while (src_left > 0) {
    if (iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    ++src;  // a character with no cp1252 form at all: leave it out
    --src_left;
  }
  iconv_close(cd);
  out.resize(out.size() - dst_left);
  return out;
}

}  // namespace

PosixLocale::PosixLocale(const char* name) {
  locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, static_cast<locale_t>(0));
  if (locale_ == static_cast<locale_t>(0)) {
    locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }
}

PosixLocale::~PosixLocale() {
  if (locale_ != static_cast<locale_t>(0)) freelocale(locale_);
}

std::string PosixLocale::Item(nl_item item) {
  if (locale_ == static_cast<locale_t>(0)) return {};
  return ToCp1252(nl_langinfo_l(item, locale_), nl_langinfo_l(CODESET, locale_));
}

std::string PosixLocale::MonthName(int month) {
  return month >= 1 && month <= 12 ? Item(MON_1 + month - 1) : "";
}
std::string PosixLocale::MonthAbbreviation(int month) {
  return month >= 1 && month <= 12 ? Item(ABMON_1 + month - 1) : "";
}
std::string PosixLocale::DayName(int day_of_week) {
  return day_of_week >= 0 && day_of_week <= 6 ? Item(DAY_1 + day_of_week) : "";
}
std::string PosixLocale::DayAbbreviation(int day_of_week) {
  return day_of_week >= 0 && day_of_week <= 6 ? Item(ABDAY_1 + day_of_week) : "";
}

}  // namespace quillomat::posix
