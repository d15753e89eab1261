#pragma once

#include <array>
#include <string>

#include "platform/locale.h"

namespace quillomat::sim {

// English date names; tests may replace any of them to try other locales.
class SimLocale : public platform::Locale {
 public:
  SimLocale();

  std::string MonthName(int month) override;
  std::string MonthAbbreviation(int month) override;
  std::string DayName(int day_of_week) override;
  std::string DayAbbreviation(int day_of_week) override;

  std::array<std::string, 12> month_names;  // [0] = January
  std::array<std::string, 12> month_abbreviations;
  std::array<std::string, 7> day_names;  // [0] = Sunday
  std::array<std::string, 7> day_abbreviations;
};

}  // namespace quillomat::sim
