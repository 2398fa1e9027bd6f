#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "processing/run/processing_run.h"
#include "tests/support/test_files.h"
#include "ui/batch_progress.h"
#include "ui/common_dialog.h"
#include "ui/file_filter.h"
#include "ui/message_presenter.h"

namespace pellumar::testing {

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // The program's filters and messages, as Qt wants them.
  void filtersAndMessagesForQt() {
    const std::pair<const char*, QStringList> filters[] = {
        {"Subs| *.srt ;;*.sub", {"Subs (*.srt *.sub)"}}, {"Text|*.txt|Other", {"Text (*.txt)"}}};
    for (const auto& [filter, expected] : filters) QCOMPARE(qtNameFilters(filter), expected);
    QCOMPARE(displayedMessage("one\r\ntwo\rthree", MessageIcon::None, std::nullopt),
             (Message{"one\ntwo\nthree", "Pellumar", MessageIcon::None}));
    QCOMPARE(displayedMessage("x", MessageIcon::Information, std::string("Other")),
             (Message{"x", "Other", MessageIcon::Information}));
  }

  // Plain text, as messages quote file names and subtitle lines, not markup.
  void messageBoxShowsPlainTextWithOneOkButton() {
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::None, QMessageBox::NoIcon}};
    for (const auto& [icon, boxIcon] : icons) {
      bool asGiven = false;
      const auto poll = whenShown<QMessageBox>([&](QMessageBox* box) {
        asGiven = box->windowTitle() == "Pellumar" && box->text() == "two\n<b>lines</b>" &&
                  box->icon() == boxIcon && box->textFormat() == Qt::PlainText &&
                  box->buttons().size() == 1;
        box->button(QMessageBox::Ok)->click();
      });
      MessageBoxPresenter().show({"two\n<b>lines</b>", "Pellumar", icon});
      QVERIFY(asGiven);
    }
  }

  void fileDialogOffersTheFilterAndRemembersTheFolder() {
    TempDir folder;
    writeBytes(folder.file("movie.srt"), "x\r\n");
    QWidget window;
    CommonDialog dialog(&window);
    QStringList offered;
    auto poll = whenShown<QFileDialog>([&](QFileDialog* fileDialog) {
      offered = QStringList{fileDialog->windowTitle()} + fileDialog->nameFilters();
      // Typed, as the folder's listing may not be loaded yet.
      auto* name = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (name != nullptr) name->setText(QString::fromStdString(folder.file("movie.srt")));
      static_cast<QDialog*>(fileDialog)->accept();  // checks the file, as OK does
    });
    dialog.setFilter(kSubtitleFilter);
    dialog.showOpen();

    QCOMPARE(offered, (QStringList{"Open Subtitle File", "(*.sub;*.srt;*.txt) (*.sub *.srt *.txt)",
                                   "all files (*.*) (*)"}));
    QCOMPARE(dialog.fileName(), folder.file("movie.srt"));

    QString openedIn;
    poll = whenShown<QFileDialog>([&](QFileDialog* fileDialog) {
      openedIn = fileDialog->directory().absolutePath();
      fileDialog->reject();
    });
    dialog.showOpen();

    QCOMPARE(openedIn, QString::fromStdString(folder.path().string()));
    QCOMPARE(dialog.fileName(), std::string());
  }

  void progressDialogNamesTheFileAndCancels() {
    QWidget parent;
    ProgressDialog progress(&parent);
    progress.start(2);
    QVERIFY(progress.next(0, "a.srt"));
    QCOMPARE(progress.dialog()->labelText(), QStringLiteral("File 1 of 2: a.srt"));
    QCOMPARE(progress.dialog()->windowTitle(), QStringLiteral("Pellumar"));
    progress.dialog()->cancel();
    QVERIFY(!progress.next(1, "b.srt"));
    progress.finish();
  }

 private:
  // Calls `answer` with each shown window of type T, from inside its event
  // loop, for as long as the returned timer lives. Offscreen, a dialog does
  // not always become the active modal widget, nor close on the first answer.
  template <typename T>
  static std::unique_ptr<QTimer> whenShown(std::function<void(T*)> answer) {
    auto poll = std::make_unique<QTimer>();
    QObject::connect(poll.get(), &QTimer::timeout, [answer = std::move(answer)] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* shown = qobject_cast<T*>(window);
        if (shown != nullptr && shown->isVisible()) answer(shown);
      }
    });
    poll->start(10);
    return poll;
  }
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::DialogsTest)
#include "dialogs_test.moc"
