#include "ui/playback_forms_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "player/prompts.h"

namespace quillomat::ui {
namespace {

template <typename View>
View* OpenView() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* view = qobject_cast<View*>(w); view && view->isVisible()) return view;
  }
  return nullptr;
}

// Runs `step` once the modal form is up (from inside its own event loop).
void WhenShown(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

QString Text(QWidget* view, const char* name) {
  if (auto* label = view->findChild<QLabel*>(name)) return label->text();
  if (auto* button = view->findChild<QPushButton*>(name)) return button->text();
  return "<missing>";
}

TEST(PlaybackFormsView, PauseBoxShowsItsTextsAtItsPlaceAndAborts) {
  auto form = player::PlacedPauseBox({800, 600}, 900, 900, std::string(30, 'm'));
  form.caption = "Pause (Ctrl+A)";
  form.nickname = "Greeting";
  QtPlaybackForms forms;
  bool checked = false;
  WhenShown([&] {
    auto* box = OpenView<TPauseBoxView>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Pause (Ctrl+A)");
    EXPECT_EQ(Text(box, "heading"), "Quillomat Pause");
    EXPECT_EQ(Text(box, "nickname"), "Greeting");
    EXPECT_EQ(Text(box, "message"), QString(30, 'm'));
    EXPECT_EQ(Text(box, "resume"), "&Resume");
    EXPECT_EQ(Text(box, "abort"), "&Abort");
    EXPECT_EQ(box->size(), QSize(224, 132));
    EXPECT_EQ(box->pos(), QPoint(576, 600 - 38 - 94));
    EXPECT_EQ(box->findChild<QPushButton*>("resume")->y(), 132 - 52);
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    checked = true;
    box->findChild<QPushButton*>("abort")->click();
  });
  EXPECT_FALSE(forms.ShowPauseBox(form));
  EXPECT_TRUE(checked);
}

TEST(PlaybackFormsView, PauseBoxResumesByButtonOrHotKey) {
  QtPlaybackForms forms;
  const auto form = player::CentredPauseBox({1024, 768});
  WhenShown([&] {
    auto* box = OpenView<TPauseBoxView>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->findChild<QLabel*>("message"), nullptr);
    EXPECT_EQ(box->size(), QSize(224, 94));
    box->findChild<QPushButton*>("resume")->click();
  });
  EXPECT_TRUE(forms.ShowPauseBox(form));
  WhenShown([&] { forms.ResumePauseBox(); });
  EXPECT_TRUE(forms.ShowPauseBox(form));
}

TEST(PlaybackFormsView, MessageShowsItsTextOnTop) {
  QtPlaybackForms forms;
  bool checked = false;
  WhenShown([&] {
    auto* message = OpenView<TOnTopMessageView>();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->windowTitle(), "Macro Abort");
    EXPECT_EQ(Text(message, "text"), "Quillomat 98 macro has been aborted.");
    EXPECT_EQ(message->findChild<QLabel*>("text")->geometry(), QRect(4, 4, 229, 97));
    EXPECT_EQ(Text(message, "ok"), "&Ok");
    EXPECT_EQ(message->size(), QSize(235, 130));
    EXPECT_TRUE(message->windowFlags() & Qt::WindowStaysOnTopHint);
    checked = true;
    message->findChild<QPushButton*>("ok")->click();
  });
  forms.ShowMessage(
      player::MessageForm({1024, 768}, "Macro Abort", "Quillomat 98 macro has been aborted."));
  EXPECT_TRUE(checked);
}

TEST(PlaybackFormsView, PromptStaysOpenUntilTheCheckAcceptsTheEntry) {
  QtPlaybackForms forms;
  std::vector<std::string> checked;
  const auto check = [&](const std::string& text) {
    checked.push_back(text);
    return player::RepeatCountFromText(text).has_value();
  };
  WhenShown([&] {
    auto* prompt = OpenView<TRepPromptView>();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->windowTitle(), "Macro Repeat");
    EXPECT_EQ(Text(prompt, "label"), "Times To Repeat");
    EXPECT_EQ(prompt->size(), QSize(167, 56));
    auto* edit = prompt->findChild<QLineEdit*>("count");
    auto* ok = prompt->findChild<QPushButton*>("ok");
    edit->setText("abc");
    ok->click();
    EXPECT_TRUE(prompt->isVisible());
    edit->setText("-1");
    ok->click();
  });
  const std::string entry = forms.ShowRepPrompt(player::RepPromptFormFor({1024, 768}), check);
  EXPECT_EQ(entry, "-1");
  EXPECT_EQ(checked, (std::vector<std::string>{"abc", "-1"}));
}

}  // namespace
}  // namespace quillomat::ui
