#include "ui/main_win_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTimer>

#include "platform/qt/qt_text.h"

namespace quillomat::ui {

using qtp::ToQString;

TMainWinView::TMainWinView(QWidget* parent) : QMainWindow(parent), list_(new QTableWidget(this)) {
  setObjectName("TMainWin");
  list_->setObjectName("MyGrid");
  list_->setColumnCount(4);
  list_->setHorizontalHeaderLabels({"", "Activation", "Nickname", "Scope"});
  list_->verticalHeader()->hide();
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->horizontalHeader()->setStretchLastSection(true);
  setCentralWidget(list_);
}

TMainWinView::~TMainWinView() = default;

void TMainWinView::Attach(management::TMainWin* logic, bool use_tray) {
  logic_ = logic;
  if (!use_tray || !TraySupported()) return;
  tray_ = new QSystemTrayIcon(style()->standardIcon(QStyle::SP_ComputerIcon), this);
  tray_->setToolTip("Quillomat 98");
  auto* menu = new QMenu(this);
  menu->addAction("&Open", this, &TMainWinView::OpenFromTray);
  menu->addSeparator();
  menu->addAction("&Terminate and Unload", this, [this] {
    logic_->SetTerminating();
    close();
  });
  tray_->setContextMenu(menu);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::Trigger) OpenFromTray();
  });
  tray_->show();
}

void TMainWinView::OpenFromTray() { BringToFront(); }

uint32_t TMainWinView::WindowHandle() { return static_cast<uint32_t>(winId()); }

bool TMainWinView::TraySupported() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TMainWinView::SetCaption(const std::string& caption) { setWindowTitle(ToQString(caption)); }

void TMainWinView::SetRows(const std::vector<management::MacroListRow>& rows) {
  list_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& row = rows[static_cast<size_t>(r)];
    const QString cells[] = {QString::number(row.number), ToQString(row.activation),
                             ToQString(row.nickname), ToQString(row.scope)};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      // A deactivated macro is listed greyed.
      if (!row.active) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
      list_->setItem(r, c, item);
    }
  }
}

void TMainWinView::SetColumnWidths(int activation, int nickname, int scope) {
  list_->setColumnWidth(0, 30);
  list_->setColumnWidth(1, activation);
  list_->setColumnWidth(2, nickname);
  list_->setColumnWidth(3, scope);
}

void TMainWinView::SetGeometry(const management::WindowGeometry& g) {
  // The window's own area, without the window manager's frame, so what is saved comes back
  // exactly, whatever frame the desktop draws.
  setGeometry(g.left, g.top, g.width, g.height);
}

management::WindowGeometry TMainWinView::Geometry() {
  const QRect area = geometry();
  return {area.left(), area.top(), area.width(), area.height()};
}

void TMainWinView::HideWindow() {
  // Hiding from inside a paint would leave the paint half done; hide right after it.
  QTimer::singleShot(0, this, [this] { hide(); });
}

void TMainWinView::MinimizeApp() { showMinimized(); }

void TMainWinView::MaximizeWindow() { showMaximized(); }

void TMainWinView::ShowWindow(bool show) { setVisible(show); }

bool TMainWinView::WindowVisible() { return isVisible(); }

bool TMainWinView::Minimised() { return isMinimized(); }

void TMainWinView::RestoreApp() { showNormal(); }

void TMainWinView::BringToFront() {
  show();
  raise();
  activateWindow();
}

void TMainWinView::StartTimer(int id, int interval_ms, bool single_shot) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (logic_) logic_->OnTimer(id);
    });
  }
  timer->setSingleShot(single_shot);
  timer->start(interval_ms);
}

void TMainWinView::StopTimer(int id) {
  if (auto it = timers_.find(id); it != timers_.end()) it->second->stop();
}

void TMainWinView::closeEvent(QCloseEvent* event) {
  if (!closed_ && logic_) {
    closed_ = true;
    for (auto& [id, timer] : timers_) timer->stop();
    logic_->FormClose();
  }
  event->accept();
  QApplication::quit();
}

void TMainWinView::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_once_ && logic_) {
    shown_once_ = true;
    logic_->FormShow();
    // The first paint follows the first show.
    QTimer::singleShot(0, this, [this] { logic_->FormPaint(); });
  }
}

void TMainWinView::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && logic_) {
    logic_->FormActivate();
  }
}

}  // namespace quillomat::ui
