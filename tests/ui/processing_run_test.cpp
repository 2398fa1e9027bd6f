#include <QCheckBox>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "tests/support/test_files.h"
#include "tests/ui/fakes.h"
#include "ui/start_up.h"

namespace pellumar::testing {

namespace {

const std::string kMovie =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nteh cat\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nteh dog\r\n\r\n";

QUrl local(const TempDir& folder, const char* name) {
  return QUrl::fromLocalFile(QString::fromStdString(folder.file(name)));
}

// Drags `urls` over the window and drops them there; how many of the two
// the window accepted as a copy.
int dropUrls(QWidget& window, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(window.rect().center(), actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(QPointF(window.rect().center()), actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  return int{enter.isAccepted() && enter.dropAction() == Qt::CopyAction} +
         int{drop.isAccepted() && drop.dropAction() == Qt::CopyAction};
}

}  // namespace

class ProcessingRunTest : public QObject {
  Q_OBJECT

 private slots:
  // The boxes choose the passes; a pass's message comes while the button is
  // grey, "Done." once it is back.
  void clickRunsOnTheChosenFile() {
    TempDir folder;
    writeBytes(folder.file("notes.txt"), "teh\r\nplain\r\n");
    TestWindow test;
    test.files.choice = folder.file("notes.txt");
    test.window.optionBox(Option::DeleteBlankSubtitles)->setChecked(true);

    QTest::mouseClick(test.window.openButton(), Qt::LeftButton);

    QCOMPARE(readBytes(folder.file("notes_PL.txt")), std::string("the\r\nplain\r\n"));
    QCOMPARE(test.messages.buttonEnabled, (std::vector<bool>{false, true}));
    QCOMPARE(test.messages.shown[1], (Message{"Done.", "Pellumar", MessageIcon::Information}));
    QCOMPARE(test.files.calls,
             "title Open Subtitle File\n"
             "filter (*.sub;*.srt;*.txt)|*.sub;*.srt;*.txt|all files (*.*)|*.*\nopen\n");
  }

  // A remote or missing file is refused at the drag, a folder with a message;
  // a local file then runs without the dialog.
  void droppedFileRunsWithoutTheDialog() {
    TempDir folder;
    writeBytes(folder.file("movie.srt"), kMovie);
    std::filesystem::create_directory(folder.path() / "extras");
    TestWindow test;
    QCOMPARE(dropUrls(test.window, {QUrl(QStringLiteral("https://example.org/a.srt")),
                                    local(folder, "gone.srt")}),
             0);
    QCOMPARE(dropUrls(test.window, {local(folder, "extras"), local(folder, "movie.srt")}), 2);

    QTRY_COMPARE(test.messages.texts,
                 (QStringList{"Folders are not cleaned, only files:\n" +
                                  QString::fromStdString(folder.file("extras")),
                              "Done."}));
    QVERIFY(test.files.calls.empty() && test.progress.calls.empty());
    QVERIFY(readBytes(folder.file("movie_PL.srt")).find("the dog") != std::string::npos);
  }

  void severalFilesEndInOneSummary() {
    TempDir folder;
    for (const char* name : {"a.srt", "bad.srt", "c.srt"})
      writeBytes(folder.file(name), kMovie + kMovie);  // long enough to be known
    writeBytes(folder.file("notes.txt"), "teh\r\nplain\r\n");
    std::filesystem::create_directory(folder.path() / "bad_PL.srt");
    const QString dir = QString::fromStdString(folder.path());
    TestWindow test;
    test.window.optionBox(Option::FixSrtBlankLines)->setChecked(true);  // the last box
    test.progress.cancelAt = 3;

    test.window.cleanFiles({folder.file("typo.srt"), folder.file("a.srt"), folder.file("notes.txt"),
                            folder.file("bad.srt"), folder.file("c.srt")});

    QCOMPARE(test.messages.texts,
             (QStringList{"No such file:\n" + dir + "/typo.srt",
                          "Cleaned 2 of 4 files.\n\nWritten:\na.srt -> a_PL.srt\n"
                          "notes.txt -> notes_PL.txt\n"
                          "    Unknown subtitle type. Cannot process for \"Fix SRT blank lines\" "
                          "option.\n\nFailed:\nbad.srt\n    Cannot write \"" +
                              dir +
                              "/bad_PL.srt\": a folder stands at that name.\n\n"
                              "Cancelled, not cleaned:\nc.srt"}));
    QCOMPARE(test.messages.shown.back().icon, MessageIcon::None);
    QVERIFY(test.messages.buttonEnabled.back());
    QCOMPARE(test.progress.calls,
             "start 4\nFile 1 of 4: a.srt\nFile 2 of 4: notes.txt\nFile 3 of 4: bad.srt\n"
             "File 4 of 4: c.srt\nfinish\n");

    test.progress.cancelAt = -1;
    test.window.cleanFiles({folder.file("a.srt"), folder.file("c.srt")});

    QCOMPARE(test.messages.shown.back(),
             (Message{"Cleaned 2 of 2 files.\n\nWritten:\na.srt -> a_PL.srt\nc.srt -> c_PL.srt",
                      "Pellumar", MessageIcon::Information}));
    QVERIFY(readBytes(folder.file("a_PL.srt")).find("the cat") != std::string::npos);
  }

  // Settings that cannot be read show why, and no window. Without a name the
  // settings in the working folder are read; the window is left for the
  // caller to show.
  void theSettingsReadAtStartReachTheRun() {
    TempDir folder;
    RecordingMessages messages;
    FakeFileChooser files;
    files.choice = folder.file("note.txt");
    QVERIFY(startUp(folder.file("lexmend.ini"), {&messages, &files}) == nullptr);
    QCOMPARE(
        messages.shown,
        (std::vector<Message>{{QString::fromStdString(folder.file("lexmend.ini")) + " not found.",
                               "Pellumar", MessageIcon::None}}));
    writeBytes(folder.file("lexmend.ini"), "NAMESUFIXADD=_x\r\n[RStrings]\r\nteh=the\r\n");
    writeBytes(folder.file("note.txt"), "teh end\r\n");
    const std::filesystem::path oldFolder = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const auto window = startUp(std::nullopt, {&messages, &files});
    std::filesystem::current_path(oldFolder);

    QVERIFY(window != nullptr && !window->isVisible());
    window->openButton()->click();
    QCOMPARE(readBytes(folder.file("note_x.txt")), std::string("the end\r\n"));
  }
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::ProcessingRunTest)
#include "processing_run_test.moc"
