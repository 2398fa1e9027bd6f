#include <QApplication>
#include <cstdlib>

#include "ui/start_up.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("pellumar"));

  // The settings come from the working folder, before the window is ever seen.
  std::unique_ptr<pellumar::MainWindow> window = pellumar::startUp();
  if (!window) return EXIT_FAILURE;
  window->show();
  return QApplication::exec();
}
