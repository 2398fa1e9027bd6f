#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "tests/support/test_files.h"
#include "tests/ui/fakes.h"
#include "ui/start_up.h"

namespace pellumar::testing {

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void settingsThatCannotBeUsedShowWhyAndNoWindow_data() {
    QTest::addColumn<QByteArray>("ini");  // none: no file
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing") << QByteArray() << QString();
    QByteArray overfull = "[LOCAL_CHAR]\r\n";
    for (int i = 0; i < 61; ++i) overfull += "a=b\r\n";
    QTest::newRow("overfull table")
        << overfull << QStringLiteral("No more than 60 subtitutions allowed.");
  }
  void settingsThatCannotBeUsedShowWhyAndNoWindow() {
    QFETCH(QByteArray, ini);
    QFETCH(QString, expected);
    TempDir folder;
    if (!ini.isEmpty()) writeBytes(folder.file("lexmend.ini"), ini.toStdString());
    RecordingMessages messages;

    const auto window = startUp(folder.file("lexmend.ini"), {&messages, nullptr});

    QVERIFY(window == nullptr);
    QCOMPARE(messages.shown.size(), std::size_t{1});
    if (expected.isEmpty()) {
      QVERIFY(messages.shown[0].text.contains(QStringLiteral("not found")));
    } else {
      QCOMPARE(messages.shown[0].text, expected);
    }
    QCOMPARE(messages.shown[0].title, QStringLiteral("Pellumar"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      QVERIFY(!widget->isVisible() && widget->objectName() != QLatin1String("Form1"));
    }
  }

  // Without settings in the working folder, the user's copy is read and
  // reaches the run; the window is left for the caller to show.
  void theUsersSettingsReachTheRun() {
    TempDir folder;
    std::filesystem::create_directories(folder.path() / "config/pellumar");
    std::filesystem::create_directory(folder.path() / "work");
    writeBytes(folder.file("config/pellumar/lexmend.ini"),
               "NAMESUFIXADD=_x\r\n[RStrings]\r\nteh=the\r\n");
    writeBytes(folder.file("work/note.txt"), "teh end\r\n");
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
    QVERIFY(!window->isVisible());
    QVERIFY(messages.shown.empty());
    window->openButton()->click();
    QCOMPARE(readBytes(folder.file("work/note_x.txt")), std::string("the end\r\n"));
  }
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::StartUpTest)
#include "start_up_test.moc"
