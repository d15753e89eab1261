#include "ui/playback_forms_view.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/qt_text.h"

namespace quillomat::ui {

using qtp::FromQString;
using qtp::ToQString;

namespace {

constexpr Qt::WindowFlags kOnTopDialog = Qt::Dialog | Qt::WindowStaysOnTopHint |
                                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                         Qt::CustomizeWindowHint;

QLabel* Label(QWidget* parent, const char* name, const std::string& text, QRect where,
              Qt::Alignment alignment) {
  auto* label = new QLabel(ToQString(text), parent);
  label->setObjectName(name);
  label->setGeometry(where);
  label->setAlignment(alignment);
  label->setWordWrap(true);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const std::string& text, QRect where) {
  auto* button = new QPushButton(ToQString(text), parent);
  button->setObjectName(name);
  button->setGeometry(where);
  return button;
}

void Place(QDialog* dialog, int left, int top, int width, int height) {
  dialog->setFixedSize(width, height);
  dialog->move(left, top);
}

}  // namespace

// --- Pause box ------------------------------------------------------------------------------

TPauseBoxView::TPauseBoxView(const platform::PauseBoxForm& form, QWidget* parent)
    : QDialog(parent, kOnTopDialog) {
  setObjectName("TPauseBox");
  setWindowTitle(ToQString(form.caption));
  const int w = form.width;
  Label(this, "heading", form.heading, QRect(0, 2, w, 18), Qt::AlignHCenter | Qt::AlignTop);
  Label(this, "nickname", form.nickname, QRect(4, 20, w - 8, 20), Qt::AlignHCenter | Qt::AlignTop);
  if (!form.message.empty()) {
    Label(this, "message", form.message,
          QRect(4, form.buttons_top - form.message_height - 2, w - 8, form.message_height),
          Qt::AlignHCenter | Qt::AlignTop);
  }
  auto* resume = Button(this, "resume", form.resume_text, QRect(12, form.buttons_top, 90, 25));
  auto* abort = Button(this, "abort", form.abort_text, QRect(w - 102, form.buttons_top, 90, 25));
  connect(resume, &QPushButton::clicked, this, &QDialog::accept);
  connect(abort, &QPushButton::clicked, this, &QDialog::reject);
  resume->setDefault(true);
  Place(this, form.left, form.top, form.width, form.height);
}

bool TPauseBoxView::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate) {
    raise();
    if (on_activated_) on_activated_();
  }
  return handled;
}

// --- On-top message -------------------------------------------------------------------------

TOnTopMessageView::TOnTopMessageView(const platform::OnTopMessageForm& form, QWidget* parent)
    : QDialog(parent, kOnTopDialog) {
  setObjectName("TOnTopMessage");
  setWindowTitle(ToQString(form.title));
  Label(this, "text", form.text,
        QRect(form.label_left, form.label_top, form.label_width, form.label_height),
        Qt::AlignLeft | Qt::AlignTop);
  auto* ok = Button(this, "ok", form.ok_text,
                    QRect((form.width - 75) / 2, form.label_top + form.label_height + 2, 75, 25));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  Place(this, form.left, form.top, form.width, form.height);
}

bool TOnTopMessageView::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate) raise();
  return handled;
}

// --- Repeat prompt --------------------------------------------------------------------------

TRepPromptView::TRepPromptView(const platform::RepPromptForm& form, platform::PromptCheck check,
                               QWidget* parent)
    : QDialog(parent, kOnTopDialog), check_(std::move(check)) {
  setObjectName("TRepPrompt");
  setWindowTitle(ToQString(form.caption));
  Label(this, "label", form.label, QRect(8, 4, form.width - 16, 18), Qt::AlignLeft);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("count");
  edit_->setGeometry(8, 26, 80, 24);
  auto* ok = Button(this, "ok", form.ok_text, QRect(96, 25, form.width - 104, 26));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  Place(this, form.left, form.top, form.width, form.height);
  edit_->setFocus();
}

std::string TRepPromptView::Entry() const { return FromQString(edit_->text()); }

void TRepPromptView::done(int result) {
  if (check_ && !check_(Entry())) {
    edit_->setFocus();
    edit_->selectAll();
    return;
  }
  QDialog::done(result);
}

// --- The forms ------------------------------------------------------------------------------

bool QtPlaybackForms::ShowPauseBox(const platform::PauseBoxForm& form) {
  TPauseBoxView box(form);
  box.SetOnActivated(pause_activated_);
  pause_box_ = &box;
  box.show();
  box.raise();
  box.activateWindow();
  const bool resume = box.exec() == QDialog::Accepted;
  pause_box_ = nullptr;
  return resume;
}

void QtPlaybackForms::ResumePauseBox() {
  if (pause_box_) pause_box_->accept();
}

void QtPlaybackForms::ShowMessage(const platform::OnTopMessageForm& form) {
  TOnTopMessageView message(form);
  message.show();
  message.raise();
  message.activateWindow();
  message.exec();
}

std::string QtPlaybackForms::ShowRepPrompt(const platform::RepPromptForm& form,
                                           const platform::PromptCheck& check) {
  TRepPromptView prompt(form, check);
  prompt.show();
  prompt.raise();
  prompt.activateWindow();
  prompt.exec();
  return prompt.Entry();
}

}  // namespace quillomat::ui
