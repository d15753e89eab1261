#include "ui/schedule_views.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "activation/scheduler.h"
#include "platform/qt/qt_text.h"

namespace quillomat::ui {

using qtp::FromQString;
using qtp::ToQString;

namespace {

QLineEdit* Edit(QWidget* parent, const char* name, int max_length = 32767) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(max_length);
  return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

// "&Ok" (or "&Update") as the default button and "&Cancel" (also Escape) in a row.
QHBoxLayout* OkCancel(QDialog* dialog, const char* ok_name, const char* ok_text, QPushButton** ok) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  *ok = Button(dialog, ok_name, ok_text);
  (*ok)->setDefault(true);
  auto* cancel = Button(dialog, "cancel", "&Cancel");
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  row->addWidget(*ok);
  row->addWidget(cancel);
  return row;
}

QString Text(const QLineEdit* edit) { return edit->text(); }

// The edit with a pair of spin buttons that step its number by one within [min, max]; text
// that is not a number steps from the nearer end.
QHBoxLayout* Spin(QLineEdit* edit, int min, int max) {
  auto* row = new QHBoxLayout;
  row->addWidget(edit);
  for (int step : {1, -1}) {
    auto* button = new QToolButton(edit->parentWidget());
    button->setObjectName(edit->objectName() + (step > 0 ? "_up" : "_down"));
    button->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked, edit, [edit, min, max, step] {
      bool number = false;
      const int value = edit->text().trimmed().toInt(&number);
      const int next = number ? std::clamp(value + step, min, max) : (step > 0 ? min : max);
      edit->setText(QString::number(next));
    });
    row->addWidget(button);
  }
  return row;
}

}  // namespace

bool PassedChecks(QDialog* dialog, platform::MessageBoxes& boxes,
                  const std::optional<activation::FormRefusal>& refusal) {
  if (!refusal) return true;
  boxes.Show(refusal->title, refusal->text);
  if (auto* field = dialog->findChild<QWidget*>(QString::fromStdString(refusal->field))) {
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
  }
  return false;
}

// --- Set Schedule ---------------------------------------------------------------------------

TDoScheduleView::TDoScheduleView(activation::TDoSchedule& form, platform::MessageBoxes& boxes,
                                 const platform::LocalTime& today, QWidget* parent)
    : QDialog(parent), form_(form), boxes_(boxes), today_(today) {
  setObjectName("TDoSchedule");
  setWindowTitle(activation::TDoSchedule::kCaption);
  auto* layout = new QVBoxLayout(this);

  static constexpr const char* kKinds[] = {"&At Startup", "&Once",    "&Hourly", "&Daily",
                                           "&Weekly",     "&Monthly", "O&ther"};
  auto* kinds = new QHBoxLayout;
  panels_ = new QStackedWidget(this);
  for (int k = 0; k < 7; ++k) {
    kinds_[k] = new QRadioButton(kKinds[k], this);
    kinds_[k]->setObjectName(QString("kind%1").arg(k));
    kinds->addWidget(kinds_[k]);
    connect(kinds_[k], &QRadioButton::toggled, this, [this, k](bool on) {
      if (on) panels_->setCurrentIndex(k);
    });
    panels_->addWidget(new QWidget(panels_));
  }
  layout->addLayout(kinds);
  layout->addWidget(panels_);

  auto form_of = [this](int k) { return new QFormLayout(panels_->widget(k)); };
  auto time_edit = [this](int k, const char* name) { return Edit(panels_->widget(k), name, 7); };

  auto* once = form_of(store::kOnce);
  year_ = Edit(panels_->widget(store::kOnce), "year", 4);
  month_ = new QComboBox(panels_->widget(store::kOnce));
  month_->setObjectName("month");
  for (int m = 1; m <= 12; ++m) month_->addItem(QString::fromStdString(activation::MonthName(m)));
  day_ = Edit(panels_->widget(store::kOnce), "day", 2);
  once_time_ = time_edit(store::kOnce, "once_time");
  once->addRow("Year", Spin(year_, 1, 9999));
  once->addRow("Month", month_);
  once->addRow("Day", Spin(day_, 1, 31));
  once->addRow("Time", once_time_);

  minutes_ = Edit(panels_->widget(store::kHourly), "minutes", 2);
  form_of(store::kHourly)->addRow("Minutes past the hour", Spin(minutes_, 0, 59));

  auto* daily = form_of(store::kDaily);
  static constexpr const char* kDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                          "Friday", "Saturday", "Sunday"};
  auto* days = new QHBoxLayout;
  for (int d = 0; d < 7; ++d) {
    days_[d] = new QCheckBox(kDays[d], panels_->widget(store::kDaily));
    days_[d]->setObjectName(QString("day_flag%1").arg(d));
    days->addWidget(days_[d]);
  }
  daily->addRow(days);
  daily_time_ = time_edit(store::kDaily, "daily_time");
  daily->addRow("Time", daily_time_);

  auto* weekly = form_of(store::kWeekly);
  day_of_week_ = new QComboBox(panels_->widget(store::kWeekly));
  day_of_week_->setObjectName("day_of_week");
  for (int d = 1; d <= 7; ++d) {
    day_of_week_->addItem(QString::fromStdString(activation::DayName(d)));
  }
  weekly_time_ = time_edit(store::kWeekly, "weekly_time");
  weekly->addRow("Day", day_of_week_);
  weekly->addRow("Time", weekly_time_);

  auto* monthly = form_of(store::kMonthly);
  monthly_day_ = Edit(panels_->widget(store::kMonthly), "monthly_day", 2);
  monthly_time_ = time_edit(store::kMonthly, "monthly_time");
  monthly->addRow("Day of month", Spin(monthly_day_, 1, 31));
  monthly->addRow("Time", monthly_time_);

  interval_ = Edit(panels_->widget(store::kEveryMinutes), "interval", 3);
  form_of(store::kEveryMinutes)->addRow("Every (minutes)", Spin(interval_, 1, 720));

  QPushButton* update = nullptr;
  layout->addLayout(OkCancel(this, "update", "&Update", &update));
  connect(update, &QPushButton::clicked, this, &TDoScheduleView::UpdateButtonClick);

  SetControls(form_.FormShow());
}

activation::ScheduleControls TDoScheduleView::Controls() const {
  activation::ScheduleControls c;
  for (int k = 0; k < 7; ++k) {
    if (kinds_[k]->isChecked()) c.kind = static_cast<uint16_t>(k);
  }
  for (int d = 0; d < 7; ++d) c.day_flags[d] = days_[d]->isChecked();
  c.year = FromQString(Text(year_));
  c.month = month_->currentIndex() + 1;
  c.day = FromQString(Text(day_));
  c.once_time = FromQString(Text(once_time_));
  c.minutes = FromQString(Text(minutes_));
  c.daily_time = FromQString(Text(daily_time_));
  c.day_of_week = day_of_week_->currentIndex() + 1;
  c.weekly_time = FromQString(Text(weekly_time_));
  c.monthly_day = FromQString(Text(monthly_day_));
  c.monthly_time = FromQString(Text(monthly_time_));
  c.interval = FromQString(Text(interval_));
  return c;
}

void TDoScheduleView::SetControls(const activation::ScheduleControls& c) {
  const int kind = c.kind < 7 ? c.kind : static_cast<int>(store::kDaily);
  kinds_[kind]->setChecked(true);
  panels_->setCurrentIndex(kind);
  for (int d = 0; d < 7; ++d) days_[d]->setChecked(c.day_flags[d]);
  year_->setText(ToQString(c.year));
  month_->setCurrentIndex(c.month - 1);
  day_->setText(ToQString(c.day));
  once_time_->setText(ToQString(c.once_time));
  minutes_->setText(ToQString(c.minutes));
  daily_time_->setText(ToQString(c.daily_time));
  day_of_week_->setCurrentIndex(c.day_of_week - 1);
  weekly_time_->setText(ToQString(c.weekly_time));
  monthly_day_->setText(ToQString(c.monthly_day));
  monthly_time_->setText(ToQString(c.monthly_time));
  interval_->setText(ToQString(c.interval));
}

void TDoScheduleView::UpdateButtonClick() {
  if (PassedChecks(this, boxes_, form_.UpdateButtonClick(Controls(), today_))) accept();
}

// --- Scheduler Frequency ----------------------------------------------------------------------

TSchedulerFrequencyView::TSchedulerFrequencyView(activation::SchedulerFrequency& form,
                                                 platform::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), form_(form), boxes_(boxes) {
  using activation::SchedulerFrequency;
  setObjectName("TDoDelay");
  setWindowTitle(SchedulerFrequency::kCaption);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(SchedulerFrequency::kLabel, this);
  label->setObjectName("label");
  value_ = Edit(this, "value", SchedulerFrequency::kMaxLength);
  value_->setText(ToQString(form_.FormShow()));
  auto* unit = new QLabel(SchedulerFrequency::kUnit, this);
  unit->setObjectName("unit");
  row->addWidget(label);
  row->addWidget(value_);
  row->addWidget(unit);
  layout->addLayout(row);
  QPushButton* ok = nullptr;
  layout->addLayout(OkCancel(this, "ok", "&Ok", &ok));
  connect(ok, &QPushButton::clicked, this, [this] {
    if (PassedChecks(this, boxes_, form_.OkButtonClick(FromQString(value_->text())))) accept();
  });
}

// --- Scheduler Alarm --------------------------------------------------------------------------

TSchedulerAlarmView::TSchedulerAlarmView(activation::SchedulerAlarm& form,
                                         platform::MessageBoxes& boxes, platform::Sound& sound,
                                         QWidget* parent)
    : QDialog(parent), form_(form), boxes_(boxes), sound_(sound) {
  setObjectName("TDoSound");
  setWindowTitle(activation::SchedulerAlarm::kCaption);
  auto* layout = new QVBoxLayout(this);
  none_ = new QRadioButton(activation::SchedulerAlarm::kNone, this);
  none_->setObjectName("none");
  wave_ = new QRadioButton("&Wave File", this);
  wave_->setObjectName("wave");
  layout->addWidget(none_);
  layout->addWidget(wave_);
  auto* path_row = new QHBoxLayout;
  path_ = Edit(this, "path");
  auto* browse = Button(this, "browse", "&Browse");
  path_row->addWidget(path_);
  path_row->addWidget(browse);
  layout->addLayout(path_row);
  wait_ = new QCheckBox("Wait for wave file to &finish", this);
  wait_->setObjectName("wait");
  layout->addWidget(wait_);
  auto* test = Button(this, "test", "&Test");
  layout->addWidget(test);
  QPushButton* ok = nullptr;
  layout->addLayout(OkCancel(this, "ok", "&Ok", &ok));

  const activation::AlarmControls preset = form_.FormShow();
  (preset.wave ? wave_ : none_)->setChecked(true);
  path_->setText(ToQString(preset.path));
  wait_->setChecked(preset.wait);

  connect(browse, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, "Select Wave File", path_->text(), "Wave Files (*.WAV *.wav)");
    dialog.setDefaultSuffix("WAV");
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      path_->setText(dialog.selectedFiles().first());
      wave_->setChecked(true);
    }
  });
  connect(test, &QPushButton::clicked, this, [this] {
    PassedChecks(this, boxes_, form_.TestButtonClick(FromQString(path_->text()), sound_));
  });
  connect(ok, &QPushButton::clicked, this, [this] {
    if (PassedChecks(this, boxes_, form_.OkButtonClick(Controls()))) accept();
  });
}

activation::AlarmControls TSchedulerAlarmView::Controls() const {
  return {wave_->isChecked(), FromQString(path_->text()), wait_->isChecked()};
}

// --- Trigword Options -------------------------------------------------------------------------

TTrigwordOptionsView::TTrigwordOptionsView(activation::TTrigwordOptions& form,
                                           platform::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), form_(form), boxes_(boxes) {
  setObjectName("TTrigwordOptions");
  setWindowTitle(activation::TTrigwordOptions::kCaption);
  auto* layout = new QVBoxLayout(this);
  solitary_ = new QCheckBox("Solitary &Usage", this);
  solitary_->setObjectName("solitary");
  case_sensitive_ = new QCheckBox("Case &Sensitive", this);
  case_sensitive_->setObjectName("case_sensitive");
  use_prefix_ = new QCheckBox("Use &Prefix Keys", this);
  use_prefix_->setObjectName("use_prefix");
  prefix_ = Edit(this, "prefix", activation::TTrigwordOptions::kMaxPrefix);
  for (QWidget* w : {static_cast<QWidget*>(solitary_), static_cast<QWidget*>(case_sensitive_),
                     static_cast<QWidget*>(use_prefix_), static_cast<QWidget*>(prefix_)}) {
    layout->addWidget(w);
  }
  QPushButton* ok = nullptr;
  layout->addLayout(OkCancel(this, "ok", "&Ok", &ok));

  const activation::TrigwordOptionsControls preset = form_.FormShow();
  solitary_->setChecked(preset.solitary);
  case_sensitive_->setChecked(preset.case_sensitive);
  use_prefix_->setChecked(preset.use_prefix);
  prefix_->setText(ToQString(preset.prefix));
  prefix_->setEnabled(preset.use_prefix);

  connect(use_prefix_, &QCheckBox::toggled, prefix_, &QLineEdit::setEnabled);
  connect(prefix_, &QLineEdit::textEdited, this, &TTrigwordOptionsView::CheckPrefix);
  prefix_->installEventFilter(this);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (PassedChecks(this, boxes_, form_.OkButtonClick(Controls()))) accept();
  });
}

activation::TrigwordOptionsControls TTrigwordOptionsView::Controls() const {
  return {solitary_->isChecked(), case_sensitive_->isChecked(), use_prefix_->isChecked(),
          FromQString(prefix_->text())};
}

bool TTrigwordOptionsView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == prefix_ && event->type() == QEvent::FocusOut) CheckPrefix();
  return QDialog::eventFilter(watched, event);
}

void TTrigwordOptionsView::CheckPrefix() {
  // The message box takes the focus from the field; that must not check it again.
  if (checking_) return;
  checking_ = true;
  PassedChecks(this, boxes_,
               activation::TTrigwordOptions::CheckPrefix(FromQString(prefix_->text())));
  checking_ = false;
}

}  // namespace quillomat::ui
