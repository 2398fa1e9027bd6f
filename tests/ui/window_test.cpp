#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>

#include "tests/support/test_files.h"
#include "ui/batch_progress.h"
#include "ui/common_dialog.h"
#include "ui/file_filter.h"
#include "ui/start_up.h"

namespace pellumar::testing {
namespace {

const std::string kMovie = "{1}{2}teh cat\r\n{3}{4}teh dog\r\n{5}{6}\r\n{7}{8}bird\r\n";

// The window, shown, on settings that replace "teh" with "the". It shows no
// dialog: messages are kept as "TITLE: TEXT" ("TITLE (i): TEXT" with the
// information icon), the open-file dialog "chooses" `choice`, and the
// dialogs' calls are kept one line each; the progress cancels when file
// `cancelAt` would be next.
struct TestWindow : MessagePresenter, FileChooser, BatchProgress {
  TestWindow() : window(Settings{.replacements = {{"teh", "the"}}}, {this, this, this}) {
    window.show();
  }
  void show(const Message& message) override {
    const bool info = message.icon == MessageIcon::Information;
    messages << message.title + (info ? " (i): " : ": ") + message.text;
    if (!message.details.isEmpty()) details << message.details;
  }
  void setDialogTitle(const std::string& title) override { calls += "title " + title + "\n"; }
  void setFilter(const std::string& filter) override { calls += "filter " + filter + "\n"; }
  void showOpen() override { calls += "open\n"; }
  std::string fileName() const override { return choice; }
  void start(int count) override { calls += "start " + std::to_string(total = count) + "\n"; }
  bool next(int index, const std::string& name) override {
    calls += progressLabel(index, total, name) + "\n";
    return index != cancelAt;
  }
  void finish() override { calls += "finish\n"; }

  QStringList messages, details;
  std::string choice, calls;
  int cancelAt = -1, total = 0;
  MainWindow window;
};

// Drags the files named over the window and drops them there: how many of
// the two the window took as a copy.
int drop(QWidget& window, const QList<QUrl>& urls) {
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

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Users' scripts find the parts by name: Check1 … Check7 with their
  // captions and what they do (none: help mode); two start ticked. Focus
  // starts on the open button; Tab then visits the boxes in number order.
  void namesAndTabOrder() {
    TestWindow test;
    QCOMPARE(test.window.objectName() + " " + test.window.windowTitle(), "Form1 Pellumar");
    const std::pair<const char*, std::optional<PassId>> numbered[] = {
        {"Remove font styles and colours", PassId::RemoveFormattingCodes},
        {"Delete redundant spaces", PassId::DeleteRedundantSpaces},
        {"Substitute localized chararacters", PassId::SubstituteLocalChars},
        {"Delete blank lines", PassId::DeleteBlankSubtitles},
        {"give me help", std::nullopt},
        {"Search and Replace strings", PassId::ReplaceStrings},
        {"Fix SRT blank lines", PassId::FixSrtBlankLines}};
    QVERIFY(QTest::qWaitForWindowActive(&test.window));
    for (int number = 1; number <= 7; ++number) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      auto* box = qobject_cast<QCheckBox*>(QApplication::focusWidget());
      const auto& [caption, pass] = numbered[number - 1];
      QVERIFY(box == (pass ? test.window.passBox(*pass) : test.window.helpBox()));
      QCOMPARE(box->objectName() + ": " + box->text(),
               QString("Check%1: %2").arg(number).arg(caption));
      QCOMPARE(box->isChecked(),
               pass == PassId::SubstituteLocalChars || pass == PassId::ReplaceStrings);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() == test.window.openButton());
    QCOMPARE(test.window.openButton()->objectName(), "Command1");
    QVERIFY(MainWindow(Settings{}).findChild<CommonDialog*>("CommonDialog1") != nullptr);
  }

  // The passes stand in the left column in the order they run, blank-line
  // removal beside the first, help mode beside the last, the open button
  // between them; no caption is cut.
  void boxesStandInTwoColumns() {
    TestWindow test;
    const auto place = [&test](PassId pass) { return test.window.passBox(pass)->geometry(); };
    const QRect blank = place(PassId::DeleteBlankSubtitles);
    std::vector<QRect> left;
    for (const Pass& pass : passTable()) {
      if (pass.id != PassId::DeleteBlankSubtitles) left.push_back(place(pass.id));
    }
    for (std::size_t i = 1; i < left.size(); ++i) {
      QVERIFY(left[i].top() > left[i - 1].top() && left[i].left() == left[0].left());
    }
    QVERIFY(blank.left() > left[0].right() && blank.top() == left[0].top());
    QCOMPARE(test.window.helpBox()->y(), left.back().y());
    const QRect button = test.window.openButton()->geometry();
    QVERIFY(button.top() > blank.bottom() && button.bottom() < test.window.helpBox()->y());
    for (QWidget* widget : test.window.findChildren<QWidget*>()) {
      QVERIFY(widget->size().expandedTo(widget->sizeHint()) == widget->size());
      QVERIFY(test.window.rect().contains(widget->geometry()));
    }
  }

  // In help mode each box shows its help as its tooltip; closing then says
  // farewell, once a session.
  void helpModeShowsTooltipsAndSaysFarewell() {
    for (const int helpClicks : {1, 2}) {
      TestWindow test;
      for (int i = 0; i < helpClicks; ++i) test.window.helpBox()->click();
      const bool help = helpClicks == 1;
      for (const Pass& pass : passTable()) {
        QCOMPARE(test.window.passBox(pass.id)->toolTip(), help ? pass.helpText : "");
      }
      QCOMPARE(test.window.helpBox()->toolTip(), help ? "Get ToolTip help" : "");
      for (int i = 0; i < 2; ++i) {
        test.window.show();
        QVERIFY(test.window.close() && !test.window.isVisible());
      }
      const QString farewell =
          "Pellumar: If you find my little tool useful, just send an\n"
          "   \"thanksPL\" email to \"thanks@pellumar.example.org\"";
      QCOMPARE(test.messages.join(""), help ? farewell : "");
    }
  }

  // Settings that cannot be read show why, and no window; those read reach
  // the run. The open button asks for a file and cleans it with the passes
  // ticked; a pass's message comes first, then "Done.".
  void startUpThenOpenAFile() {
    TempDir folder;
    TestWindow test;
    const std::string settings = folder.file("lexmend.ini");
    QVERIFY(startUp(settings, {&test, &test}) == nullptr);
    writeBytes(settings, "NAMESUFIXADD=_x\r\n[RStrings]\r\nteh=the\r\n");
    writeBytes(folder.file("note.txt"), "teh end\r\n");
    const auto window = startUp(settings, {&test, &test});
    QVERIFY(window != nullptr && !window->isVisible());
    test.choice = folder.file("note.txt");
    window->passBox(PassId::DeleteBlankSubtitles)->setChecked(true);
    window->openButton()->click();
    QCOMPARE(test.calls,
             "title Open Subtitle File\nfilter (*.sub;*.srt;*.txt)|*.sub;*.srt;*.txt|all files "
             "(*.*)|*.*\nopen\n");
    // "*.*" becomes "*", so that files without a dot count as all files.
    QCOMPARE(qtNameFilters(kSubtitleFilter),
             (QStringList{"(*.sub;*.srt;*.txt) (*.sub *.srt *.txt)", "all files (*.*) (*)"}));
    QCOMPARE(readBytes(folder.file("note_x.txt")), "the end\r\n");
    QCOMPARE(test.details, QStringList{QString::fromStdString(
                               "--- " + folder.file("note.txt") + "\n+++ " +
                               folder.file("note_x.txt") + "\n@@ -1 +1 @@\n-teh end\n+the end\n")});
    QCOMPARE(test.messages.join("|"),
             "Pellumar: " + QString::fromStdString(settings) +
                 " not found.|Pellumar: Unknown subtitle type.\nCannot process for \"Delete "
                 "blank lines\" option.|Pellumar (i): Done.");
  }

  // A remote or missing file is refused at the drag; a dropped folder is
  // walked for subtitle files, one that is not text is left alone. A drop is
  // a copy, never a move.
  void droppedFilesAndFoldersRunWithoutTheDialog() {
    TempDir folder;
    writeBytes(folder.file("movie.sub"), kMovie);
    std::filesystem::create_directory(folder.path() / "extras");
    writeBytes(folder.file("extras/bonus.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nteh\r\n");
    writeBytes(folder.file("extras/cover.srt"), std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    writeBytes(folder.file("extras/cover.jpg"), "not a subtitle");
    const auto local = [&folder](const char* name) {
      return QUrl::fromLocalFile(QString::fromStdString(folder.file(name)));
    };
    TestWindow test;
    QCOMPARE(drop(test.window, {QUrl("https://example.org/a.srt"), local("gone.srt")}), 0);
    QCOMPARE(drop(test.window, {local("extras"), local("movie.sub")}), 2);
    QTRY_COMPARE(test.messages.size(), 1);
    QCOMPARE(test.messages.front(),
             "Pellumar (i): Cleaned 2 of 2 files; 1 left alone.\n\nWritten:\nextras/bonus.srt -> "
             "bonus_PL.srt\nmovie.sub -> movie_PL.sub\n\nLeft alone:\nextras/cover.srt: not a text "
             "subtitle file");
    QCOMPARE(test.calls,
             "start 3\nFile 1 of 3: extras/bonus.srt\nFile 2 of 3: extras/cover.srt\nFile 3 of 3: "
             "movie.sub\nfinish\n");
    QVERIFY(readBytes(folder.file("movie_PL.sub")).find("the dog") != std::string::npos);
    QVERIFY(std::filesystem::exists(folder.file("extras/bonus_PL.srt")));
    QVERIFY(!std::filesystem::exists(folder.file("extras/cover_PL.srt")));
  }

  // Several files run behind the progress dialog and end in one summary, here
  // without the information icon as not every file was written; Cancel stops
  // before the next file.
  void severalFilesEndInOneSummary() {
    TempDir folder;
    for (const char* name : {"a.sub", "bad.sub", "c.sub"}) writeBytes(folder.file(name), kMovie);
    writeBytes(folder.file("notes.txt"), "teh\r\nplain\r\n");
    std::filesystem::create_directory(folder.path() / "bad_PL.sub");
    const QString dir = QString::fromStdString(folder.path());
    TestWindow test;
    test.window.passBox(PassId::DeleteBlankSubtitles)->setChecked(true);
    test.cancelAt = 3;
    test.window.cleanFiles({folder.file("typo.srt"), folder.file("a.sub"), folder.file("notes.txt"),
                            folder.file("bad.sub"), folder.file("c.sub")});
    QCOMPARE(test.messages,
             (QStringList{"Pellumar: No such file:\n" + dir + "/typo.srt",
                          QString("Pellumar: Cleaned 2 of 4 files.\n\nWritten:\na.sub -> a_PL.sub\n"
                                  "notes.txt -> notes_PL.txt\n    Unknown subtitle type. Cannot "
                                  "process for \"Delete blank lines\" option.\n\nFailed:\nbad.sub\n"
                                  "    Cannot write \"%1/bad_PL.sub\": a folder stands at that "
                                  "name.\n\nCancelled, not cleaned:\nc.sub")
                              .arg(dir)}));
    QCOMPARE(test.calls,
             "start 4\nFile 1 of 4: a.sub\nFile 2 of 4: notes.txt\nFile 3 of 4: bad.sub\n"
             "File 4 of 4: c.sub\nfinish\n");
  }

  // Messages are plain text, as they quote file names and subtitle lines,
  // with one OK button. Offscreen, a box does not always become the active
  // modal widget, so the answer looks for it among the windows.
  void messageBoxShowsPlainTextWithOneOkButton() {
    bool asGiven = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&asGiven] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box == nullptr || !box->isVisible()) continue;
        asGiven = box->windowTitle() == "Title" && box->text() == "a\n<b>b</b>" &&
                  box->icon() == QMessageBox::Information && box->textFormat() == Qt::PlainText &&
                  box->buttons().size() == 1;
        box->button(QMessageBox::Ok)->click();
      }
    });
    answer.start(10);
    MessageBoxPresenter().show({"a\n<b>b</b>", "Title", MessageIcon::Information});
    QVERIFY(asGiven);

    // A run's changes stand behind the details button, coloured.
    QString shown;
    QObject::disconnect(&answer, nullptr, nullptr, nullptr);
    QObject::connect(&answer, &QTimer::timeout, [&shown] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box == nullptr || !box->isVisible()) continue;
        shown = box->detailedText() + "|" + box->text();
        for (auto* view : box->findChildren<QTextEdit*>()) shown += "|" + view->toHtml();
        box->button(QMessageBox::Ok)->click();
      }
    });
    MessageBoxPresenter().show({"Done.", "Title", MessageIcon::Information, "-a <b>\n+b"});
    QVERIFY2(shown.startsWith("-a <b>\n+b|Done.|") && shown.contains("#b00000") &&
                 shown.contains("-a &lt;b&gt;"),
             qPrintable(shown));
  }

  // The program answers --help and --version without a display.
  void helpAndVersionNeedNoDisplay() {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(name);
    program.setProcessEnvironment(environment);
    for (const char* option : {"--version", "--help"}) {
      program.start(PELLUMAR_WINDOW_PROGRAM, {option});
      QVERIFY(program.waitForFinished());
      const QString out = program.readAllStandardOutput();
      QCOMPARE(program.exitCode(), 0);
      QVERIFY2(out.startsWith(option == std::string("--help") ? "Usage: "
                                                              : "pellumar " PELLUMAR_VERSION),
               qPrintable(out));
    }
  }
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::WindowTest)
#include "window_test.moc"
