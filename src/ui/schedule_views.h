#pragma once

// The scheduler's dialogs and the Trigword options as Qt dialogs. They copy the control values
// into the forms of activation/schedule_forms.h and back, show a refusal and focus the field
// it names (every control's object name is the field name the forms use).

#include <QDialog>

#include "activation/schedule_forms.h"
#include "platform/local_time.h"
#include "platform/message_boxes.h"
#include "platform/sound.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QStackedWidget;

namespace quillomat::ui {

// Shows the refusal (if any) and focuses its field; true when there was none.
bool PassedChecks(QDialog* dialog, platform::MessageBoxes& boxes,
                  const std::optional<activation::FormRefusal>& refusal);

// "Set Schedule".
class TDoScheduleView : public QDialog {
  Q_OBJECT

 public:
  TDoScheduleView(activation::TDoSchedule& form, platform::MessageBoxes& boxes,
                  const platform::LocalTime& today, QWidget* parent = nullptr);

  activation::ScheduleControls Controls() const;
  void SetControls(const activation::ScheduleControls& controls);

 private:
  void UpdateButtonClick();

  activation::TDoSchedule& form_;
  platform::MessageBoxes& boxes_;
  platform::LocalTime today_;
  QRadioButton* kinds_[7] = {};
  QCheckBox* days_[7] = {};  // Monday .. Sunday
  QStackedWidget* panels_ = nullptr;
  QLineEdit *year_, *day_, *once_time_, *minutes_, *daily_time_, *weekly_time_, *monthly_day_,
      *monthly_time_, *interval_;
  QComboBox *month_, *day_of_week_;
};

// "Scheduler Frequency".
class TSchedulerFrequencyView : public QDialog {
  Q_OBJECT

 public:
  TSchedulerFrequencyView(activation::SchedulerFrequency& form, platform::MessageBoxes& boxes,
                          QWidget* parent = nullptr);

 private:
  activation::SchedulerFrequency& form_;
  platform::MessageBoxes& boxes_;
  QLineEdit* value_ = nullptr;
};

// "Scheduler Alarm".
class TSchedulerAlarmView : public QDialog {
  Q_OBJECT

 public:
  TSchedulerAlarmView(activation::SchedulerAlarm& form, platform::MessageBoxes& boxes,
                      platform::Sound& sound, QWidget* parent = nullptr);

  activation::AlarmControls Controls() const;

 private:
  activation::SchedulerAlarm& form_;
  platform::MessageBoxes& boxes_;
  platform::Sound& sound_;
  QRadioButton *none_, *wave_;
  QLineEdit* path_ = nullptr;
  QCheckBox* wait_ = nullptr;
};

// "Trigword Options".
class TTrigwordOptionsView : public QDialog {
  Q_OBJECT

 public:
  TTrigwordOptionsView(activation::TTrigwordOptions& form, platform::MessageBoxes& boxes,
                       QWidget* parent = nullptr);

  activation::TrigwordOptionsControls Controls() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CheckPrefix();

  activation::TTrigwordOptions& form_;
  platform::MessageBoxes& boxes_;
  QCheckBox *solitary_, *case_sensitive_, *use_prefix_;
  QLineEdit* prefix_ = nullptr;
  bool checking_ = false;
};

}  // namespace quillomat::ui
