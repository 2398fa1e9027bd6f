#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/start_up.h"

namespace {

void describe(QCoreApplication& app) {
  app.setApplicationName(QStringLiteral("pellumar"));
  app.setApplicationVersion(QStringLiteral(PELLUMAR_VERSION));
}

struct CommandLine {
  QCommandLineParser parser;
  QCommandLineOption version{QStringLiteral("version"),
                             QStringLiteral("Displays version information.")};

  CommandLine() {
    parser.setApplicationDescription(
        QStringLiteral("Cleans up subtitle files. Each FILE given is cleaned as if dropped on "
                       "the window, with the options as the window starts; a folder, the "
                       "subtitle files in it and below it."));
    parser.addHelpOption();
    // Long only, as for pellumar-cli, whose -v means something else.
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Subtitle files or folders to clean"),
                                 QStringLiteral("[FILE...]"));
  }
};

// --help and --version need no display: they are answered before the window
// system is asked for one. Other options wait for the window's own parse,
// which knows Qt's options too (--help-all lists them).
void answerHelpAndVersion(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  describe(app);
  CommandLine commandLine;
  if (!commandLine.parser.parse(QCoreApplication::arguments())) return;
  if (commandLine.parser.isSet(QStringLiteral("help"))) commandLine.parser.showHelp();
  if (commandLine.parser.isSet(commandLine.version)) commandLine.parser.showVersion();
}

}  // namespace

int main(int argc, char* argv[]) {
  answerHelpAndVersion(argc, argv);
  QApplication app(argc, argv);
  describe(app);
  QGuiApplication::setDesktopFileName(QStringLiteral("pellumar"));
  CommandLine commandLine;
  commandLine.parser.process(app);

  // The settings are read before the window is ever seen.
  std::unique_ptr<pellumar::MainWindow> window = pellumar::startUp();
  if (!window) return EXIT_FAILURE;
  window->show();

  std::vector<std::string> files;
  for (const QString& argument : commandLine.parser.positionalArguments()) {
    files.push_back(QFile::encodeName(QFileInfo(argument).absoluteFilePath()).toStdString());
  }
  if (!files.empty()) {
    // Once the window is up, as a drop would start.
    QMetaObject::invokeMethod(
        window.get(), [&window, files] { window->cleanFiles(files); }, Qt::QueuedConnection);
  }
  return QApplication::exec();
}
