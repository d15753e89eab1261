#include "platform/sim/sim_locale.h"

namespace quillomat::sim {

namespace {
template <size_t N>
std::string At(const std::array<std::string, N>& names, int index) {
  return index >= 0 && index < static_cast<int>(N) ? names[index] : std::string();
}
}  // namespace

SimLocale::SimLocale()
    : month_names{"January", "February", "March",     "April",   "May",      "June",
                  "July",    "August",   "September", "October", "November", "December"},
      month_abbreviations{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      day_names{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
      day_abbreviations{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"} {}

std::string SimLocale::MonthName(int month) { return At(month_names, month - 1); }
std::string SimLocale::MonthAbbreviation(int month) { return At(month_abbreviations, month - 1); }
std::string SimLocale::DayName(int day_of_week) { return At(day_names, day_of_week); }
std::string SimLocale::DayAbbreviation(int day_of_week) {
  return At(day_abbreviations, day_of_week);
}

}  // namespace quillomat::sim
