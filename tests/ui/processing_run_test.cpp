#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "tests/support/test_files.h"
#include "tests/ui/fakes.h"
#include "ui/main_window.h"

namespace pellumar::testing {

namespace {

const char* const kMovie =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nteh cat\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nteh dog\r\n\r\n";
const char* const kCleanMovie =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nthe cat\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nthe dog\r\n\r\n";

Settings replacingTeh() {
  Settings settings;
  settings.replacements = {{"teh", "the"}};
  return settings;
}

/// Messages as the user read them, with the open button's state at the time.
struct Seen {
  QString text;
  MessageIcon icon;
  bool buttonEnabled;
};

}  // namespace

class ProcessingRunTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { seen_.clear(); }

  void clickRunsOnTheChosenFile() {
    TempDir folder;
    writeBytes(folder.file("movie.srt"), kMovie);
    FakeFileChooser files(folder.file("movie.srt"));
    auto window = makeWindow(files);

    QTest::mouseClick(window->openButton(), Qt::LeftButton);

    QCOMPARE(readBytes(folder.file("movie_PL.srt")), std::string(kCleanMovie));
    QCOMPARE(readBytes(folder.file("movie.srt")), std::string(kMovie));
    QCOMPARE(listFolder(folder.path()), std::string("movie.srt movie_PL.srt"));
    QCOMPARE(seen_.size(), std::size_t{1});
    QCOMPARE(seen_[0].text, QStringLiteral("Done."));
    QCOMPARE(seen_[0].icon, MessageIcon::Information);
    QVERIFY(seen_[0].buttonEnabled);
    QCOMPARE(messages_.shown[0].title, QStringLiteral("Pellumar"));
    QVERIFY(window->openButton()->isEnabled());
    const std::vector<std::string> dialog = {
        "title Open Subtitle File",
        "filter (*.sub;*.srt;*.txt)|*.sub;*.srt;*.txt|all files (*.*)|*.*", "open", "fileName"};
    QCOMPARE(files.calls, dialog);
  }

  void buttonIsDisabledWhileAPassSpeaks() {
    TempDir folder;
    writeBytes(folder.file("notes.txt"), "just\r\nplain\r\ntext\r\n");
    FakeFileChooser files(folder.file("notes.txt"));
    auto window = makeWindow(files);
    window->optionBox(Option::DeleteBlankSubtitles)->setChecked(true);

    QTest::mouseClick(window->openButton(), Qt::LeftButton);

    QCOMPARE(seen_.size(), std::size_t{2});
    QVERIFY(seen_[0].text.startsWith(QStringLiteral("Unknown subtitle type.\n")));
    QCOMPARE(seen_[0].icon, MessageIcon::None);
    QVERIFY(!seen_[0].buttonEnabled);
    QCOMPARE(seen_[1].text, QStringLiteral("Done."));
    QVERIFY(seen_[1].buttonEnabled);
    QVERIFY(window->openButton()->isEnabled());
  }

  void noFileStartsNothing_data() {
    QTest::addColumn<QString>("choice");
    QTest::newRow("dialog cancelled") << QString();
    QTest::newRow("chosen file gone") << QStringLiteral("gone.srt");
  }
  void noFileStartsNothing() {
    QFETCH(QString, choice);
    TempDir folder;
    FakeFileChooser files(choice.isEmpty() ? std::string() : folder.file(choice.toStdString()));
    auto window = makeWindow(files);

    QTest::mouseClick(window->openButton(), Qt::LeftButton);

    QVERIFY(seen_.empty());
    QVERIFY(window->openButton()->isEnabled());
    QCOMPARE(listFolder(folder.path()), std::string());
  }

  // A remote or missing file is refused at the drop; a local one runs without
  // the dialog.
  void droppedFileRunsWithoutTheDialog() {
    TempDir folder;
    writeBytes(folder.file("movie.srt"), kMovie);
    FakeFileChooser files;
    auto window = makeWindow(files);
    for (const QUrl& url :
         {QUrl(QStringLiteral("https://example.org/a.srt")), local(folder, "gone.srt")}) {
      QCOMPARE(dropUrls(*window, {url}), 0);
    }
    QCOMPARE(dropUrls(*window, {local(folder, "movie.srt")}), 2);

    QTRY_COMPARE(seen_.size(), std::size_t{1});
    QCOMPARE(seen_[0].text, QStringLiteral("Done."));
    QVERIFY(files.calls.empty());
    QCOMPARE(readBytes(folder.file("movie_PL.srt")), std::string(kCleanMovie));
  }

  // A written file, one written with a warning, one that fails, and a folder,
  // which is refused with a message first.
  void severalDroppedFilesEndInOneSummary() {
    TempDir folder;
    writeBytes(folder.file("a.srt"), std::string(kMovie) + kMovie);  // long enough to be known
    writeBytes(folder.file("notes.txt"), "teh\r\nplain\r\ntext\r\n");
    writeBytes(folder.file("bad.srt"), kMovie);
    std::filesystem::create_directory(folder.path() / "bad_PL.srt");
    std::filesystem::create_directory(folder.path() / "extras");
    FakeFileChooser files;
    RecordingProgress progress;
    auto window = makeWindow(files, &progress);
    window->optionBox(Option::DeleteBlankSubtitles)->setChecked(true);
    QCOMPARE(dropUrls(*window, {local(folder, "a.srt"), local(folder, "notes.txt"),
                                local(folder, "extras"), local(folder, "bad.srt")}),
             2);

    QTRY_COMPARE(seen_.size(), std::size_t{2});
    QCOMPARE(seen_[0].text, "Folders are not cleaned, only files:\n" +
                                QString::fromStdString(folder.file("extras")));
    const std::vector<std::string> steps = {"start 3", "File 1 of 3: a.srt",
                                            "File 2 of 3: notes.txt", "File 3 of 3: bad.srt",
                                            "finish"};
    QCOMPARE(progress.calls, steps);
    QCOMPARE(seen_[1].text.section(QLatin1Char('\n'), 0, 8),
             QStringLiteral("Cleaned 2 of 3 files.\n"
                            "\n"
                            "Written:\n"
                            "a.srt -> a_PL.srt\n"
                            "notes.txt -> notes_PL.txt\n"
                            "    Unknown subtitle type. Cannot process for \"Delete blank lines\" "
                            "option.\n"
                            "\n"
                            "Failed:\n"
                            "bad.srt"));
    QVERIFY(seen_[1].text.section(QLatin1Char('\n'), 9).startsWith(QStringLiteral("    Cannot ")));
    QCOMPARE(seen_[1].icon, MessageIcon::None);
    QVERIFY(seen_[1].buttonEnabled);
    QCOMPARE(readBytes(folder.file("a_PL.srt")), std::string(kCleanMovie) + kCleanMovie);
    QCOMPARE(readBytes(folder.file("notes_PL.txt")), std::string("the\r\nplain\r\ntext\r\n"));
  }

  void aMissingNameIsRefusedAndTheOtherFileCleaned() {
    TempDir folder;
    writeBytes(folder.file("a.srt"), kMovie);
    FakeFileChooser files;
    auto window = makeWindow(files);

    window->cleanFiles({folder.file("typo.srt"), folder.file("a.srt")});

    QCOMPARE(seen_.size(), std::size_t{2});
    QCOMPARE(seen_[0].text, "No such file:\n" + QString::fromStdString(folder.file("typo.srt")));
    QCOMPARE(seen_[1].text, QStringLiteral("Done."));
    QCOMPARE(readBytes(folder.file("a_PL.srt")), std::string(kCleanMovie));
  }

  void summaryAfterSeveralFiles_data() {
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<bool>("information");
    QTest::addColumn<QString>("listing");
    QTest::newRow("all written") << -1
                                 << QStringLiteral(
                                        "Cleaned 3 of 3 files.\n\nWritten:\n"
                                        "a.srt -> a_PL.srt\nb.srt -> b_PL.srt\n"
                                        "c.srt -> c_PL.srt")
                                 << true << "a.srt a_PL.srt b.srt b_PL.srt c.srt c_PL.srt";
    QTest::newRow("cancelled before the second")
        << 1
        << QStringLiteral(
               "Cleaned 1 of 3 files.\n\nWritten:\na.srt -> a_PL.srt\n\n"
               "Cancelled, not cleaned:\nb.srt\nc.srt")
        << false << "a.srt a_PL.srt b.srt c.srt";
  }
  void summaryAfterSeveralFiles() {
    QFETCH(int, cancelAt);
    QFETCH(QString, summary);
    QFETCH(bool, information);
    QFETCH(QString, listing);
    TempDir folder;
    for (const char* name : {"a.srt", "b.srt", "c.srt"}) writeBytes(folder.file(name), kMovie);
    FakeFileChooser files;
    RecordingProgress progress(cancelAt);
    auto window = makeWindow(files, &progress);

    window->cleanFiles({folder.file("a.srt"), folder.file("b.srt"), folder.file("c.srt")});

    QCOMPARE(seen_.size(), std::size_t{1});
    QCOMPARE(seen_[0].text, summary);
    QCOMPARE(seen_[0].icon, information ? MessageIcon::Information : MessageIcon::None);
    QCOMPARE(listFolder(folder.path()), listing.toStdString());
    QCOMPARE(readBytes(folder.file("a_PL.srt")), std::string(kCleanMovie));
  }

  void theProgressDialogNamesTheFileAndCancels() {
    QWidget parent;
    ProgressDialog progress(&parent);
    progress.start(2);
    QVERIFY(progress.next(0, "a.srt"));
    QCOMPARE(progress.dialog()->labelText(), QStringLiteral("File 1 of 2: a.srt"));
    progress.dialog()->cancel();
    QVERIFY(!progress.next(1, "b.srt"));
    progress.finish();
  }

 private:
  std::unique_ptr<MainWindow> makeWindow(FileChooser& files, BatchProgress* progress = nullptr) {
    messages_ = RecordingMessages{};
    auto window =
        std::make_unique<MainWindow>(replacingTeh(), WindowDialogs{&messages_, &files, progress});
    QPushButton* button = window->openButton();
    messages_.onShow = [this, button](const Message& message) {
      seen_.push_back({message.text, message.icon, button->isEnabled()});
    };
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

  static QUrl local(const TempDir& folder, const char* name) {
    return QUrl::fromLocalFile(QString::fromStdString(folder.file(name)));
  }

  // Drags `urls` over the window and drops them there; how many of the two
  // the window accepted as a copy.
  static int dropUrls(QWidget& window, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(window.rect().center(), actions, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(window.rect().center()), actions, &data, Qt::LeftButton,
                    Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(&window, &drop);
    return int{enter.isAccepted() && enter.dropAction() == Qt::CopyAction} +
           int{drop.isAccepted() && drop.dropAction() == Qt::CopyAction};
  }

  RecordingMessages messages_;
  std::vector<Seen> seen_;
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::ProcessingRunTest)
#include "processing_run_test.moc"
