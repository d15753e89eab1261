#pragma once

#include <QMainWindow>
#include <map>

#include "management/main_win.h"

class QTableWidget;
class QSystemTrayIcon;
class QTimer;

namespace quillomat::ui {

// The main window's widgets: the caption, the list of macros and the program's tray icon.
class TMainWinView : public QMainWindow, public management::MainWinView {
  Q_OBJECT

 public:
  explicit TMainWinView(QWidget* parent = nullptr);
  ~TMainWinView() override;

  void Attach(management::TMainWin* logic, bool use_tray);

  uint32_t WindowHandle() override;
  bool TraySupported() override;
  void SetCaption(const std::string& caption) override;
  void SetRows(const std::vector<management::MacroListRow>& rows) override;
  void SetColumnWidths(int activation, int nickname, int scope) override;
  void SetGeometry(const management::WindowGeometry& geometry) override;
  management::WindowGeometry Geometry() override;
  void HideWindow() override;
  void MinimizeApp() override;
  void MaximizeWindow() override;
  void ShowWindow(bool show) override;
  bool WindowVisible() override;
  bool Minimised() override;
  void RestoreApp() override;
  void BringToFront() override;
  void StartTimer(int id, int interval_ms, bool single_shot) override;
  void StopTimer(int id) override;

  QTableWidget* list() const { return list_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void OpenFromTray();

  management::TMainWin* logic_ = nullptr;
  QTableWidget* list_;
  QSystemTrayIcon* tray_ = nullptr;
  bool shown_once_ = false;
  std::map<int, QTimer*> timers_;
  bool closed_ = false;
};

}  // namespace quillomat::ui
