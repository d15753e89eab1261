// A Qt window with a plain text field that writes its text to a file as it changes:
//   x11_qt_receiver OUT [TITLE]
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QPlainTextEdit edit;
  edit.setWindowTitle(argc > 2 ? QString::fromUtf8(argv[2]) : QStringLiteral("Qt Receiver"));
  edit.resize(600, 400);
  edit.move(150, 150);
  bool changed = true;
  QObject::connect(&edit, &QPlainTextEdit::textChanged, [&] { changed = true; });
  auto save = [&] {
    if (!changed) return;
    changed = false;
    QFile file(out + ".tmp");
    if (file.open(QIODevice::WriteOnly)) {
      file.write(edit.toPlainText().toUtf8());
      file.close();
      QFile::remove(out);
      file.rename(out);
    }
  };
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, save);
  timer.start(10);
  QObject::connect(&app, &QApplication::aboutToQuit, save);
  edit.show();
  return app.exec();
}
