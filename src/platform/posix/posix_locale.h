#pragma once

#include <langinfo.h>
#include <locale.h>

#include <string>

#include "platform/locale.h"

namespace quillomat::posix {

// Date names from the user's LC_TIME (or the named locale), converted to cp1252; characters
// that cp1252 lacks are transliterated, or dropped where that is impossible.
class PosixLocale : public platform::Locale {
 public:
  explicit PosixLocale(const char* name = "");
  ~PosixLocale() override;
  PosixLocale(const PosixLocale&) = delete;
  PosixLocale& operator=(const PosixLocale&) = delete;

  std::string MonthName(int month) override;
  std::string MonthAbbreviation(int month) override;
  std::string DayName(int day_of_week) override;
  std::string DayAbbreviation(int day_of_week) override;

 private:
  std::string Item(nl_item item);

  locale_t locale_ = nullptr;
};

}  // namespace quillomat::posix
