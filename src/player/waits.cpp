// The player's waits. None of them sleeps: each turn of the loop blocks in the message pump
// for the time that remains, so messages (the abort request, hot keys, timers) are handled
// while a macro waits and a long wait costs no processor.

#include <algorithm>
#include <climits>
#include <cmath>

#include "player/player.h"

namespace quillomat::player {

namespace {
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMaxTurnMs = 3600000.0;
}  // namespace

double Player::TimeOfDaySeconds() {
  const platform::LocalTime now = platform_.event_loop.Now();
  return now.hour * 3600.0 + now.minute * 60.0 + now.second + now.millisecond / 1000.0;
}

void Player::ReportWait(double ms) {
  if (wait_observer_) wait_observer_(ms);
}

void Player::PauseFor(double seconds) {
  if (speed_factor_ == 0) return;
  TimeOfDayWait(speed_factor_ * seconds);
}

void Player::PauseForNoSpeed(double seconds) { TimeOfDayWait(seconds); }

// Ends when the time of day has moved on by more than `seconds`. The clock is read on every
// turn and the steps are added up, each step over midnight counting a day more, so a wait
// across midnight (or longer than a day) still ends.
void Player::TimeOfDayWait(double seconds) {
  if (!std::isfinite(seconds)) return;
  ReportWait(std::max(seconds, 0.0) * 1000.0);
  double previous = TimeOfDaySeconds();
  double elapsed = 0;
  do {
    const double remaining_ms = (seconds - elapsed) * 1000.0;
    // One millisecond past what remains: the wait ends once the clock has gone beyond it.
    // A turn never blocks for an hour or more, so no step of the clock hides a whole day.
    const int block =
        remaining_ms < 0 ? 0 : static_cast<int>(std::min(std::floor(remaining_ms) + 1, kMaxTurnMs));
    platform_.event_loop.PumpOnce(block);
    const double now = TimeOfDaySeconds();
    double step = now - previous;
    if (step < 0) step += kSecondsPerDay;
    elapsed += step;
    previous = now;
  } while (!(elapsed > seconds));
}

void Player::KeyDelay(int64_t milliseconds) {
  if (speed_factor_ == 0) return;
  const double scaled = std::trunc(speed_factor_ * static_cast<double>(milliseconds));
  // The tick counter is 32 bits: a longer wait is cut to what it can measure.
  const int64_t wait =
      std::isfinite(scaled) ? static_cast<int64_t>(std::clamp(scaled, 0.0, double{INT32_MAX})) : 0;
  ReportWait(static_cast<double>(wait));
  const uint32_t start = platform_.event_loop.TickCount();
  uint32_t passed = 0;
  do {
    platform_.event_loop.PumpOnce(static_cast<int>(wait - passed));
    passed = platform_.event_loop.TickCount() - start;
  } while (passed < wait);
}

}  // namespace quillomat::player
