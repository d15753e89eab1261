#include "ui/schedule_views.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "activation/scheduler.h"
#include "platform/sim/sim_message_boxes.h"

namespace quillomat::ui {
namespace {

TEST(ScheduleViews, SetScheduleCopiesItsControlsAndFocusesTheRefusedField) {
  store::MacroRecord record;
  activation::DefaultTimer(record, {2026, 3, 15, 10, 0, 0, 0, 0});
  activation::TDoSchedule form(record);
  sim::SimMessageBoxes boxes;
  TDoScheduleView view(form, boxes, {2026, 3, 15, 10, 0, 0, 0, 0});
  view.show();
  EXPECT_EQ(view.windowTitle(), "Set Schedule");
  EXPECT_TRUE(view.findChild<QRadioButton*>("kind3")->isChecked());
  EXPECT_EQ(view.findChild<QRadioButton*>("kind6")->text(), "O&ther");
  EXPECT_EQ(view.findChild<QLineEdit*>("daily_time")->text(), "12:00PM");

  auto* interval = view.findChild<QLineEdit*>("interval");
  interval->setText("719");
  for (int i = 0; i < 2; ++i) view.findChild<QToolButton*>("interval_up")->click();
  EXPECT_EQ(interval->text(), "720");
  view.findChild<QToolButton*>("interval_down")->click();
  EXPECT_EQ(interval->text(), "719");

  view.findChild<QRadioButton*>("kind1")->setChecked(true);
  view.findChild<QLineEdit*>("year")->setText("2026");
  view.findChild<QComboBox*>("month")->setCurrentIndex(3);  // April
  view.findChild<QLineEdit*>("day")->setText("31");
  view.findChild<QPushButton*>("update")->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Error");
  EXPECT_EQ(boxes.shown()[0].text, "Invalid day of month specified.");
  EXPECT_EQ(view.focusWidget(), view.findChild<QLineEdit*>("day"));
  EXPECT_EQ(view.result(), QDialog::Rejected);

  view.findChild<QLineEdit*>("day")->setText("30");
  view.findChild<QLineEdit*>("once_time")->setText("08:15am");
  view.findChild<QPushButton*>("update")->click();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(activation::GetSched(record), "Once at 8:15AM on 30 April 2026");
}

TEST(ScheduleViews, TrigwordOptionsCheckThePrefixAsItIsTypedAndStoreOnOk) {
  startup::SettingsRecord settings;
  int saves = 0;
  activation::TTrigwordOptions form(settings, [&] { ++saves; });
  sim::SimMessageBoxes boxes;
  TTrigwordOptionsView view(form, boxes);
  view.show();
  auto* prefix = view.findChild<QLineEdit*>("prefix");
  EXPECT_EQ(view.windowTitle(), "Trigword Options");
  EXPECT_EQ(prefix->maxLength(), 2);
  EXPECT_TRUE(prefix->isEnabled());
  view.findChild<QCheckBox*>("use_prefix")->setChecked(false);
  EXPECT_FALSE(prefix->isEnabled());
  view.findChild<QCheckBox*>("use_prefix")->setChecked(true);

  prefix->setText(";'");
  emit prefix->textEdited(prefix->text());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, activation::kInvalidPrefix);

  prefix->setText(";;");
  view.findChild<QCheckBox*>("solitary")->setChecked(true);
  view.findChild<QPushButton*>("ok")->click();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(settings.solitary_usage);
  EXPECT_EQ(settings.prefix_keys, ";;");
}

}  // namespace
}  // namespace quillomat::ui
