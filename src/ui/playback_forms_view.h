#pragma once

// The pause box, the on-top message and the repeat prompt as Qt dialogs: they stay on top,
// keep the sizes and places the player gives them and run modally (the message loop keeps
// running inside them).

#include <QDialog>
#include <QPointer>
#include <functional>

#include "platform/playback_forms.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillomat::ui {

class TPauseBoxView : public QDialog {
  Q_OBJECT

 public:
  explicit TPauseBoxView(const platform::PauseBoxForm& form, QWidget* parent = nullptr);
  // Called each time the box is activated, after it has raised itself: the owner hands the
  // keyboard focus back to the macro's window so the user can go on working there.
  void SetOnActivated(std::function<void()> on_activated) {
    on_activated_ = std::move(on_activated);
  }

 protected:
  bool event(QEvent* e) override;

 private:
  std::function<void()> on_activated_;
};

class TOnTopMessageView : public QDialog {
  Q_OBJECT

 public:
  explicit TOnTopMessageView(const platform::OnTopMessageForm& form, QWidget* parent = nullptr);

 protected:
  bool event(QEvent* e) override;
};

class TRepPromptView : public QDialog {
  Q_OBJECT

 public:
  TRepPromptView(const platform::RepPromptForm& form, platform::PromptCheck check,
                 QWidget* parent = nullptr);
  // The entry as typed, cp1252.
  std::string Entry() const;
  // Every way of closing (Ok, the close button, Escape) goes through the check.
  void done(int result) override;

 private:
  platform::PromptCheck check_;
  QLineEdit* edit_ = nullptr;
};

// The forms the player shows on the real desktop.
class QtPlaybackForms : public platform::PlaybackForms {
 public:
  // While a pause box is up, its activation hands the focus back through this.
  void SetPauseActivated(std::function<void()> on_activated) {
    pause_activated_ = std::move(on_activated);
  }

  bool ShowPauseBox(const platform::PauseBoxForm& form) override;
  void ResumePauseBox() override;
  void ShowMessage(const platform::OnTopMessageForm& form) override;
  std::string ShowRepPrompt(const platform::RepPromptForm& form,
                            const platform::PromptCheck& check) override;

 private:
  QPointer<TPauseBoxView> pause_box_;
  std::function<void()> pause_activated_;
};

}  // namespace quillomat::ui
