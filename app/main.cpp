#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/start_up.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pellumar"));
  QApplication::setApplicationVersion(QStringLiteral(PELLUMAR_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("pellumar"));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Cleans up subtitle files. Each FILE given is cleaned as if dropped on the "
                     "window, with the options as the window starts."));
  parser.addHelpOption();
  // Long only, as for pellumar-cli, whose -v means something else.
  const QCommandLineOption version(QStringLiteral("version"),
                                   QStringLiteral("Displays version information."));
  parser.addOption(version);
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Subtitle files to clean"),
                               QStringLiteral("[FILE...]"));
  parser.process(app);
  if (parser.isSet(version)) parser.showVersion();

  // The settings are read before the window is ever seen.
  std::unique_ptr<pellumar::MainWindow> window = pellumar::startUp();
  if (!window) return EXIT_FAILURE;
  window->show();

  std::vector<std::string> files;
  for (const QString& argument : parser.positionalArguments()) {
    files.push_back(QFile::encodeName(QFileInfo(argument).absoluteFilePath()).toStdString());
  }
  if (!files.empty()) {
    // Once the window is up, as a drop would start.
    QMetaObject::invokeMethod(
        window.get(), [&window, files] { window->cleanFiles(files); }, Qt::QueuedConnection);
  }
  return QApplication::exec();
}
