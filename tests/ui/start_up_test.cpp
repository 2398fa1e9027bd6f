#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "tests/support/test_files.h"
#include "tests/ui/fakes.h"
#include "tests/ui/test_registry.h"
#include "ui/start_up.h"

namespace pellumar::testing {

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void missingSettingsShowWhyAndNoWindow() {
    TempDir folder;
    RecordingMessages messages;

    const auto window = startUp(folder.file("lexmend.ini"), {&messages, nullptr});

    QVERIFY(window == nullptr);
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QVERIFY(messages.shown[0].text.contains(QStringLiteral("not found")));
    QCOMPARE(messages.shown[0].title, QStringLiteral("Pellumar"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QVERIFY(noWindowShown());
  }

  void overfullTableShowsWhyAndNoWindow() {
    TempDir folder;
    std::string ini = "[LOCAL_CHAR]\r\n";
    for (int i = 0; i < 61; ++i) ini += "a=b\r\n";
    writeBytes(folder.file("lexmend.ini"), ini);
    RecordingMessages messages;

    const auto window = startUp(folder.file("lexmend.ini"), {&messages, nullptr});

    QVERIFY(window == nullptr);
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].text, QStringLiteral("No more than 60 subtitutions allowed."));
    QCOMPARE(messages.shown[0].title, QStringLiteral("Pellumar"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QVERIFY(noWindowShown());
  }

  void loadedSettingsReachTheRun() {
    TempDir folder;
    writeBytes(folder.file("lexmend.ini"), "NAMESUFIXADD=_x\r\n[RStrings]\r\nteh=the\r\n");
    writeBytes(folder.file("note.txt"), "teh end\r\n");
    RecordingMessages messages;
    FakeFileChooser files(folder.file("note.txt"));

    const auto window = startUp(folder.file("lexmend.ini"), {&messages, &files});

    QVERIFY(window != nullptr);
    QVERIFY(!window->isVisible());
    QVERIFY(messages.shown.empty());
    window->openButton()->click();
    QCOMPARE(readBytes(folder.file("note_x.txt")), std::string("the end\r\n"));
  }

  void withoutSettingsHereTheUsersCopyIsRead() {
    TempDir folder;
    std::filesystem::create_directories(folder.path() / "config/pellumar");
    std::filesystem::create_directory(folder.path() / "work");
    writeBytes(folder.file("config/pellumar/lexmend.ini"), "NAMESUFIXADD=_x\r\n");
    writeBytes(folder.file("work/note.txt"), "text\r\n");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const std::filesystem::path oldFolder = std::filesystem::current_path();
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.file("config")));
    std::filesystem::current_path(folder.path() / "work");
    RecordingMessages messages;
    FakeFileChooser files(folder.file("work/note.txt"));

    const auto window = startUp(std::nullopt, {&messages, &files});

    std::filesystem::current_path(oldFolder);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    QVERIFY(window != nullptr);
    window->openButton()->click();
    QCOMPARE(readBytes(folder.file("work/note_x.txt")), std::string("text\r\n"));
  }

 private:
  static bool noWindowShown() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible() || widget->objectName() == QLatin1String("Form1")) return false;
    }
    return true;
  }
};

PELLUMAR_UI_TEST(StartUpTest);

}  // namespace pellumar::testing

#include "start_up_test.moc"
