#include "language/date_time_formats.h"

#include <chrono>

namespace quillomat::language {

namespace {

std::string Padded(int value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::string Cut(std::string name, size_t length) {
  if (name.size() > length) name.resize(length);
  return name;
}

size_t RunLength(std::string_view text, size_t pos, char c) {
  size_t end = pos;
  while (end < text.size() && text[end] == c) ++end;
  return end - pos;
}

int WeekdayOf(const platform::LocalTime& t) {
  using namespace std::chrono;
  const sys_days date{year{t.year} / month{static_cast<unsigned>(t.month)} /
                      day{static_cast<unsigned>(t.day)}};
  return static_cast<int>(weekday{date}.c_encoding());
}

std::string DayOfWeek(int variant, int weekday, platform::Locale& locale) {
  switch (variant) {
    case 1:
      return Cut(locale.DayAbbreviation(weekday), kAbbreviationLength);
    case 2:
      return platform::Cp1252Upper(Cut(locale.DayAbbreviation(weekday), kAbbreviationLength));
    case 3:
      return Cut(locale.DayName(weekday), kDayNameLength);
    default:
      return platform::Cp1252Upper(Cut(locale.DayName(weekday), kDayNameLength));
  }
}

class EnglishLocale : public platform::Locale {
 public:
  std::string MonthName(int month) override { return std::string(kMonths[month - 1]); }
  std::string MonthAbbreviation(int month) override {
    return std::string(kMonths[month - 1].substr(0, 3));
  }
  std::string DayName(int day) override { return std::string(kDays[day]); }
  std::string DayAbbreviation(int day) override { return std::string(kDays[day].substr(0, 3)); }

 private:
  static constexpr std::array<std::string_view, 12> kMonths = {
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  static constexpr std::array<std::string_view, 7> kDays = {
      "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

constexpr platform::LocalTime kSampleMoment{1998, 3, 30, 15, 4, 23, 0, 1};

}  // namespace

std::string FormatDate(int number, const platform::LocalTime& date, bool leading_zeros,
                       platform::Locale& locale) {
  if (number < 1 || number > static_cast<int>(kDateFormats.size())) return {};
  const std::string_view format = kDateFormats[number - 1];
  constexpr std::string_view kDayOfWeek = "Day of Week ";
  if (format.starts_with(kDayOfWeek)) {
    return DayOfWeek(format.back() - '0', WeekdayOf(date), locale);
  }
  std::string out;
  for (size_t pos = 0; pos < format.size();) {
    const char c = format[pos];
    if (c == 'D') {  // "DD"
      out += leading_zeros ? Padded(date.day, 2) : std::to_string(date.day);
      pos += 2;
    } else if (c == 'Y') {  // "YY" or "YYYY"
      const size_t run = RunLength(format, pos, 'Y');
      out += run == 4 ? Padded(date.year, 4) : Padded(date.year % 100, 2);
      pos += run;
    } else if (c == 'M' && RunLength(format, pos, 'M') == 2) {  // "MM"
      out += leading_zeros ? Padded(date.month, 2) : std::to_string(date.month);
      pos += 2;
    } else if (c == 'M' && RunLength(format, pos, 'M') == 3) {  // "MMM"
      out += platform::Cp1252Upper(Cut(locale.MonthAbbreviation(date.month), kAbbreviationLength));
      pos += 3;
    } else if (c == 'M') {  // "Mmm" or "Mmmmm"
      const size_t run = RunLength(format, pos + 1, 'm');
      out += run == 4 ? Cut(locale.MonthName(date.month), kMonthNameLength)
                      : Cut(locale.MonthAbbreviation(date.month), kAbbreviationLength);
      pos += 1 + run;
    } else {
      out += c;
      ++pos;
    }
  }
  return out;
}

std::string FormatTime(int number, const platform::LocalTime& time, bool leading_zeros) {
  if (number < 1 || number > static_cast<int>(kTimeFormats.size())) return {};
  const std::string_view format = kTimeFormats[number - 1];
  const bool twelve_hour = number >= kFirstTwelveHourFormat;
  const bool pm = time.hour >= 12;
  int hour = time.hour;
  if (twelve_hour) hour = hour % 12 == 0 ? 12 : hour % 12;
  std::string out;
  for (size_t pos = 0; pos < format.size();) {
    const std::string_view rest = format.substr(pos);
    if (rest.starts_with("hh")) {
      out += leading_zeros ? Padded(hour, 2) : std::to_string(hour);
      pos += 2;
    } else if (rest.starts_with("mm")) {
      out += Padded(time.minute, 2);
      pos += 2;
    } else if (rest.starts_with("ss")) {
      out += Padded(time.second, 2);
      pos += 2;
    } else if (rest.starts_with("am")) {
      out += pm ? "pm" : "am";
      pos += 2;
    } else if (rest.starts_with("AM")) {
      out += pm ? "PM" : "AM";
      pos += 2;
    } else if (rest[0] == 'a') {
      out += pm ? 'p' : 'a';
      ++pos;
    } else {
      out += rest[0];
      ++pos;
    }
  }
  return out;
}

platform::LocalTime AddDays(const platform::LocalTime& moment, int days) {
  using namespace std::chrono;
  const sys_days date = sys_days{year{moment.year} / month{static_cast<unsigned>(moment.month)} /
                                 day{static_cast<unsigned>(moment.day)}} +
                        std::chrono::days{days};
  const year_month_day ymd{date};
  platform::LocalTime out = moment;
  out.year = static_cast<int>(ymd.year());
  out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  out.day_of_week = static_cast<int>(weekday{date}.c_encoding());
  return out;
}

std::string DateSample(int number) {
  EnglishLocale english;
  return FormatDate(number, kSampleMoment, true, english);
}

std::string TimeSample(int number) {
  return FormatTime(number, kSampleMoment, number < kFirstTwelveHourFormat);
}

}  // namespace quillomat::language
