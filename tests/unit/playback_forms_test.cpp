#include <gtest/gtest.h>

#include <optional>

#include "player/prompts.h"

namespace quillomat::player {
namespace {

struct PlacementCase {
  int screen_width, screen_height, top, left;
  const char* message;
  int want_top, want_left, want_height;
};

class PauseBoxPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PauseBoxPlacement, StaysOnTheScreen) {
  const PlacementCase& c = GetParam();
  const auto box = PlacedPauseBox({c.screen_width, c.screen_height}, c.top, c.left, c.message);
  EXPECT_EQ(box.top, c.want_top);
  EXPECT_EQ(box.left, c.want_left);
  EXPECT_EQ(box.width, 224);
  EXPECT_EQ(box.height, c.want_height);
  EXPECT_EQ(box.buttons_top, c.want_height - 52);
  EXPECT_EQ(box.message_height, c.want_height - 94);
}

const std::string k29(29, 'm');
const std::string k30(30, 'm');

INSTANTIATE_TEST_SUITE_P(
    PlaybackForms, PauseBoxPlacement,
    ::testing::Values(PlacementCase{800, 600, 900, 900, "", 506, 576, 94},
                      PlacementCase{800, 600, 100, 200, "", 100, 200, 94},
                      // 29 characters take one line of 19 pixels, 30 take two.
                      PlacementCase{800, 600, 900, 900, k29.c_str(), 487, 576, 113},
                      PlacementCase{800, 600, 900, 900, k30.c_str(), 468, 576, 132},
                      PlacementCase{800, 600, 468, 576, k30.c_str(), 468, 576, 132}));

TEST(PlaybackForms, CentredPauseBoxAndItsTexts) {
  const auto box = CentredPauseBox({1024, 768});
  EXPECT_EQ(box.top, (768 - 94) / 2);
  EXPECT_EQ(box.left, (1024 - 224) / 2);
  EXPECT_EQ(box.heading, "Quillomat Pause");
  EXPECT_EQ(box.resume_text, "&Resume");
  EXPECT_EQ(box.abort_text, "&Abort");
  // An odd size rounds toward zero.
  EXPECT_EQ(CentredPauseBox({801, 601}).left, 288);
}

TEST(PlaybackForms, PauseCaptionNamesTheHotKey) {
  EXPECT_EQ(PauseCaption(0), "Pause (Ctrl+A)");
  EXPECT_EQ(PauseCaption(10000), "Pause");
  EXPECT_EQ(PauseCaption(20000), "Pause");
}

TEST(PlaybackForms, MessageAndPromptAreCentred) {
  const auto message = MessageForm({1024, 768}, "Macro Abort", "text");
  EXPECT_EQ(message.width, 235);
  EXPECT_EQ(message.height, 130);
  EXPECT_EQ(message.left, (1024 - 235) / 2);
  EXPECT_EQ(message.top, (768 - 130) / 2);
  EXPECT_EQ(message.ok_text, "&Ok");
  const auto prompt = RepPromptFormFor({1024, 768});
  EXPECT_EQ(prompt.caption, "Macro Repeat");
  EXPECT_EQ(prompt.label, "Times To Repeat");
  EXPECT_EQ(prompt.width, 167);
  EXPECT_EQ(prompt.height, 56);
  EXPECT_EQ(prompt.left, (1024 - 167) / 2);
  EXPECT_EQ(prompt.top, (768 - 56) / 2);
}

struct CountCase {
  const char* text;
  std::optional<uint16_t> count;
};

class RepeatCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(RepeatCount, FromTheEntry) {
  EXPECT_EQ(RepeatCountFromText(GetParam().text), GetParam().count) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    PlaybackForms, RepeatCount,
    ::testing::Values(CountCase{"abc", std::nullopt}, CountCase{"", std::nullopt},
                      CountCase{"  ", std::nullopt}, CountCase{"1.5", std::nullopt},
                      CountCase{"12a", std::nullopt}, CountCase{"-", std::nullopt},
                      CountCase{"3000000000", std::nullopt}, CountCase{" 12 ", 12},
                      CountCase{"+3", 3}, CountCase{"-1", 65535}, CountCase{"65536", 0},
                      CountCase{"2147483647", 65535}, CountCase{"-2147483648", 0}));

}  // namespace
}  // namespace quillomat::player
