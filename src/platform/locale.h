#pragma once

#include <string>
#include <string_view>

namespace quillomat::platform {

// The user's date names, as the date tokens type them. Every string is cp1252.
class Locale {
 public:
  virtual ~Locale() = default;

  // month: 1 = January .. 12 = December.
  virtual std::string MonthName(int month) = 0;
  virtual std::string MonthAbbreviation(int month) = 0;
  // day_of_week: 0 = Sunday .. 6 = Saturday.
  virtual std::string DayName(int day_of_week) = 0;
  virtual std::string DayAbbreviation(int day_of_week) = 0;
};

// Upper case of cp1252 text: ASCII letters, the accented letters of 0xE0..0xFE (except the
// division sign 0xF7) and the four letters whose capitals sit in 0x80..0x9F.
std::string Cp1252Upper(std::string_view text);

}  // namespace quillomat::platform
