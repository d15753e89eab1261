#include "language/date_time_formats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/posix_locale.h"
#include "platform/sim/sim_locale.h"

namespace quillomat::language {
namespace {

// Monday 30 March 1998, 15:04:23 and Sunday 5 January 2003, 09:05:07.
constexpr platform::LocalTime kMarch{1998, 3, 30, 15, 4, 23, 0, 1};
constexpr platform::LocalTime kJanuary{2003, 1, 5, 9, 5, 7, 0, 0};

// The fixed examples cover every format once with leading zeros.
TEST(DateTimeFormats, SamplesOfEveryFormat) {
  const std::vector<std::string> dates = {"03/30/98",
                                          "03-30-98",
                                          "03.30.98",
                                          "03/30/1998",
                                          "03-30-1998",
                                          "03.30.1998",
                                          "30/03/98",
                                          "30-03-98",
                                          "30.03.98",
                                          "30/03/1998",
                                          "30-03-1998",
                                          "30.03.1998",
                                          "98/03/30",
                                          "98-03-30",
                                          "98.03.30",
                                          "1998/03/30",
                                          "1998-03-30",
                                          "1998.03.30",
                                          "MAR 1998",
                                          "Mar 1998",
                                          "30 MAR 98",
                                          "30 Mar 98",
                                          "30 MAR 1998",
                                          "30 Mar 1998",
                                          "30 March 98",
                                          "30 March 1998",
                                          "Mar 30 98",
                                          "Mar 30, 98",
                                          "Mar 30 1998",
                                          "Mar 30, 1998",
                                          "March 30 98",
                                          "March 30, 98",
                                          "March 30 1998",
                                          "March 30, 1998",
                                          "033098",
                                          "03301998",
                                          "300398",
                                          "30031998",
                                          "980330",
                                          "19980330",
                                          "30",
                                          "03",
                                          "Mar",
                                          "MAR",
                                          "March",
                                          "98",
                                          "1998",
                                          "Mon",
                                          "MON",
                                          "Monday",
                                          "MONDAY"};
  const std::vector<std::string> times = {
      "15:04",      "15.04",      "15,04",      "1504",    "15:04:23", "15.04.23", "15,04,23",
      "150423",     "15",         "04",         "23",      "3:04 pm",  "3.04 pm",  "3,04 pm",
      "3:04:23 pm", "3.04.23 pm", "3,04,23 pm", "3:04 PM", "3.04 PM",  "3,04 PM",  "3:04:23 PM",
      "3.04.23 PM", "3,04,23 PM", "3:04p",      "3.04p",   "3,04p"};
  sim::SimLocale english;
  for (int n = 1; n <= 51; ++n) {
    EXPECT_EQ(DateSample(n), dates[n - 1]) << n;
    EXPECT_EQ(FormatDate(n, kMarch, true, english), dates[n - 1]) << n;
  }
  for (int n = 1; n <= 26; ++n) EXPECT_EQ(TimeSample(n), times[n - 1]) << n;
}

TEST(DateTimeFormats, SuppressedZeros) {
  struct Case {
    int format;
    bool zeros;
    std::string expected;
  };
  const std::vector<Case> dates = {
      {1, true, "01/05/03"},
      {1, false, "1/5/03"},
      {4, false, "1/5/2003"},
      {16, false, "2003/1/5"},
      {35, false, "1503"},
      {40, false, "200315"},
      {41, false, "5"},
      {42, false, "1"},
      {46, false, "03"},
      {47, false, "2003"},
      {34, false, "January 5, 2003"},
      {34, true, "January 05, 2003"},
      {21, false, "5 JAN 03"},
      {51, false, "SUNDAY"},
      {48, true, "Sun"},
  };
  sim::SimLocale english;
  for (const Case& c : dates) {
    EXPECT_EQ(FormatDate(c.format, kJanuary, c.zeros, english), c.expected) << c.format;
  }
  const std::vector<Case> times = {
      {1, false, "9:05"},   {1, true, "09:05"},        {8, false, "90507"},
      {9, false, "9"},      {10, false, "05"},         {11, false, "07"},
      {24, true, "09:05a"}, {15, false, "9:05:07 am"}, {21, true, "09:05:07 AM"},
  };
  for (const Case& c : times) {
    EXPECT_EQ(FormatTime(c.format, kJanuary, c.zeros), c.expected) << c.format;
  }
  EXPECT_EQ(FormatTime(12, kMarch, false), "3:04 pm");
  EXPECT_EQ(FormatDate(0, kMarch, true, english), "");
  EXPECT_EQ(FormatTime(27, kMarch, true), "");
}

TEST(DateTimeFormats, MidnightAndNoonOnTheTwelveHourClock) {
  const platform::LocalTime midnight{2003, 1, 5, 0, 0, 9, 0, 0};
  const platform::LocalTime noon{2003, 1, 5, 12, 30, 0, 0, 0};
  const platform::LocalTime late{2003, 1, 5, 23, 59, 59, 0, 0};
  EXPECT_EQ(FormatTime(12, midnight, false), "12:00 am");
  EXPECT_EQ(FormatTime(26, midnight, true), "12,00a");
  EXPECT_EQ(FormatTime(1, midnight, true), "00:00");
  EXPECT_EQ(FormatTime(1, midnight, false), "0:00");
  EXPECT_EQ(FormatTime(18, noon, true), "12:30 PM");
  EXPECT_EQ(FormatTime(25, noon, false), "12.30p");
  EXPECT_EQ(FormatTime(21, late, false), "11:59:59 PM");
}

TEST(DateTimeFormats, DayOffsets) {
  EXPECT_EQ(AddDays(kMarch, 1), (platform::LocalTime{1998, 3, 31, 15, 4, 23, 0, 2}));
  EXPECT_EQ(AddDays(kMarch, -7), (platform::LocalTime{1998, 3, 23, 15, 4, 23, 0, 1}));
  EXPECT_EQ(AddDays({1999, 12, 31, 0, 0, 0, 0, 5}, 1),
            (platform::LocalTime{2000, 1, 1, 0, 0, 0, 0, 6}));
  EXPECT_EQ(AddDays({2000, 2, 28, 0, 0, 0, 0, 1}, 1).day, 29);
  sim::SimLocale english;
  EXPECT_EQ(FormatDate(1, AddDays(kMarch, 1), true, english), "03/31/98");
}

TEST(DateTimeFormats, LocaleNamesAreCutAndUpperCased) {
  sim::SimLocale locale;
  locale.month_names[2] = "Marchmarchmarchmarch";  // cut to 15
  locale.month_abbreviations[2] = "m\xE4rz";       // cut to 3: "m\xE4r"
  locale.day_names[1] = "Mondaymondaymonday";      // cut to 12
  locale.day_abbreviations[1] = "\xE9t\xE9";
  EXPECT_EQ(FormatDate(45, kMarch, true, locale), "Marchmarchmarch");
  EXPECT_EQ(FormatDate(43, kMarch, true, locale), "m\xE4r");
  EXPECT_EQ(FormatDate(44, kMarch, true, locale), "M\xC4R");
  EXPECT_EQ(FormatDate(50, kMarch, true, locale), "Mondaymonday");
  EXPECT_EQ(FormatDate(51, kMarch, true, locale), "MONDAYMONDAY");
  EXPECT_EQ(FormatDate(49, kMarch, true, locale), "\xC9T\xC9");
  EXPECT_EQ(platform::Cp1252Upper("a\x9A\x9C\x9E\xFF\xF7\xDF"), "A\x8A\x8C\x8E\x9F\xF7\xDF");
}

TEST(PosixLocale, EnglishNamesInTheCLocale) {
  posix::PosixLocale c("C");
  EXPECT_EQ(c.MonthName(3), "March");
  EXPECT_EQ(c.MonthAbbreviation(12), "Dec");
  EXPECT_EQ(c.DayName(0), "Sunday");
  EXPECT_EQ(c.DayAbbreviation(6), "Sat");
  EXPECT_EQ(c.MonthName(13), "");
  EXPECT_EQ(FormatDate(26, kMarch, false, c), "30 March 1998");
}

}  // namespace
}  // namespace quillomat::language
