#include <gtest/gtest.h>

#include "player_fixture.h"

namespace quillomat::player {
namespace {

struct SpeedCase {
  const char* text;
  std::vector<double> waits;  // as the player announced them, in milliseconds
  int64_t elapsed_ms;         // virtual time the macro took
};

class SpeedTest : public PlayerTest, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedTest, Waits) {
  Play(GetParam().text);
  EXPECT_EQ(waits, GetParam().waits) << GetParam().text;
  EXPECT_EQ(sim.event_loop.ElapsedMs(), GetParam().elapsed_ms) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Player, SpeedTest,
    ::testing::Values(
        // The keystroke delay comes before each key, scaled by the speed.
        SpeedCase{"<SPKEY:0100><SPEED:00002>ab", {200, 200}, 400},
        SpeedCase{"<SPMSE:0050><LCLK><MMS:00001,00001>", {50, 50}, 100},
        // The time-of-day wait ends once the clock has gone beyond its length.
        SpeedCase{"<SPEED:00.50><DELAY:02.00>", {1000}, 1001}, SpeedCase{"<MSD:0250>", {250}, 250},
        // A factor of 0 switches every scaled wait off; the fixed waits stay.
        SpeedCase{"<SPEED:00000><SPKEY:0100><DELAY:05.00><MSD:1000>a<CLIPP>", {100}, 101},
        // A zero wait pumps once and returns.
        SpeedCase{"<MSD:0000>", {0}, 0},
        // A speed or delay field that is no number changes and waits nothing.
        SpeedCase{"<SPEED:1x000><MSD:0100><DELAY:0x.00>", {100}, 100},
        // Negative lengths end at once.
        SpeedCase{"<SPEED:-0001><MSD:0100><DELAY:01.00>", {0, 0}, 0}));

TEST_F(PlayerTest, WaitAcrossMidnightEndsOnTime) {
  sim.event_loop.SetNow({2026, 1, 5, 23, 59, 30, 0, 1});
  player.PauseForNoSpeed(90);
  const platform::LocalTime now = sim.event_loop.Now();
  EXPECT_EQ(now.day, 6);
  EXPECT_EQ(now.hour, 0);
  EXPECT_EQ(now.minute, 1);
  EXPECT_EQ(now.second, 0);
  EXPECT_LE(sim.event_loop.ElapsedMs(), 90001);
}

TEST_F(PlayerTest, WaitLongerThanADayEnds) {
  player.PauseForNoSpeed(2 * 86400 + 5);
  EXPECT_EQ(sim.event_loop.ElapsedMs(), (2 * 86400 + 5) * 1000 + 1);
}

TEST_F(PlayerTest, MessagesDuringAWaitAreHandledWithoutShorteningIt) {
  int handled = 0;
  sim.event_loop.SetMessageHandler([&](const platform::PostedMessage&) { ++handled; });
  sim.event_loop.PostAt(300, {1, 0, 0});
  sim.event_loop.PostAt(700, {2, 0, 0});
  player.KeyDelay(1000);
  EXPECT_EQ(handled, 2);
  EXPECT_EQ(sim.event_loop.ElapsedMs(), 1000);
  player.PauseFor(1);
  EXPECT_EQ(sim.event_loop.ElapsedMs(), 2001);
}

}  // namespace
}  // namespace quillomat::player
