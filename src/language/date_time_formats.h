#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/local_time.h"
#include "platform/locale.h"

namespace quillomat::language {

// The date and time formats a date or time token can name, numbered from 1 in this order. A
// format's text is also its key inside the token ("<MM/DD/YY{Y}>").
inline constexpr std::array<std::string_view, 51> kDateFormats = {"MM/DD/YY",
                                                                  "MM-DD-YY",
                                                                  "MM.DD.YY",
                                                                  "MM/DD/YYYY",
                                                                  "MM-DD-YYYY",
                                                                  "MM.DD.YYYY",
                                                                  "DD/MM/YY",
                                                                  "DD-MM-YY",
                                                                  "DD.MM.YY",
                                                                  "DD/MM/YYYY",
                                                                  "DD-MM-YYYY",
                                                                  "DD.MM.YYYY",
                                                                  "YY/MM/DD",
                                                                  "YY-MM-DD",
                                                                  "YY.MM.DD",
                                                                  "YYYY/MM/DD",
                                                                  "YYYY-MM-DD",
                                                                  "YYYY.MM.DD",
                                                                  "MMM YYYY",
                                                                  "Mmm YYYY",
                                                                  "DD MMM YY",
                                                                  "DD Mmm YY",
                                                                  "DD MMM YYYY",
                                                                  "DD Mmm YYYY",
                                                                  "DD Mmmmm YY",
                                                                  "DD Mmmmm YYYY",
                                                                  "Mmm DD YY",
                                                                  "Mmm DD, YY",
                                                                  "Mmm DD YYYY",
                                                                  "Mmm DD, YYYY",
                                                                  "Mmmmm DD YY",
                                                                  "Mmmmm DD, YY",
                                                                  "Mmmmm DD YYYY",
                                                                  "Mmmmm DD, YYYY",
                                                                  "MMDDYY",
                                                                  "MMDDYYYY",
                                                                  "DDMMYY",
                                                                  "DDMMYYYY",
                                                                  "YYMMDD",
                                                                  "YYYYMMDD",
                                                                  "DD",
                                                                  "MM",
                                                                  "Mmm",
                                                                  "MMM",
                                                                  "Mmmmm",
                                                                  "YY",
                                                                  "YYYY",
                                                                  "Day of Week 1",
                                                                  "Day of Week 2",
                                                                  "Day of Week 3",
                                                                  "Day of Week 4"};

// Formats 1..11 use the 24-hour clock, 12..26 the 12-hour clock.
inline constexpr std::array<std::string_view, 26> kTimeFormats = {
    "hh:mm",       "hh.mm",       "hh,mm",       "hhmm",     "hh:mm:ss", "hh.mm.ss", "hh,mm,ss",
    "hhmmss",      "hh",          "mm",          "ss",       "hh:mm am", "hh.mm am", "hh,mm am",
    "hh:mm:ss am", "hh.mm.ss am", "hh,mm,ss am", "hh:mm AM", "hh.mm AM", "hh,mm AM", "hh:mm:ss AM",
    "hh.mm.ss AM", "hh,mm,ss AM", "hh:mma",      "hh.mma",   "hh,mma"};

inline constexpr int kFirstTwelveHourFormat = 12;

// Longest locale names the formats type; longer names are cut.
inline constexpr size_t kAbbreviationLength = 3;
inline constexpr size_t kMonthNameLength = 15;
inline constexpr size_t kDayNameLength = 12;

// Types the date in date format `number` (1..51). With leading_zeros the day and month have
// two digits; the years always have their full width. An unknown number gives "".
std::string FormatDate(int number, const platform::LocalTime& date, bool leading_zeros,
                       platform::Locale& locale);

// Types the time in time format `number` (1..26). With leading_zeros the hour has two digits;
// minutes and seconds always do. An unknown number gives "".
std::string FormatTime(int number, const platform::LocalTime& time, bool leading_zeros);

// The same moment `days` days later (earlier when negative), with its day of the week.
platform::LocalTime AddDays(const platform::LocalTime& moment, int days);

// The fixed example each format shows in the script and the date and time dialog: Monday
// 30 March 1998, 15:04:23 in English, with leading zeros except on the 12-hour hour.
std::string DateSample(int number);
std::string TimeSample(int number);

}  // namespace quillomat::language
