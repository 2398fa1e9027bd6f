#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "processing/processing_run.h"
#include "tests/support/test_files.h"
#include "tests/ui/fakes.h"
#include "ui/common_dialog.h"
#include "ui/file_filter.h"
#include "ui/message_presenter.h"

namespace pellumar::testing {

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void nameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the run's filter")
        << QString::fromLatin1(kSubtitleFilter)
        << QStringList{"(*.sub;*.srt;*.txt) (*.sub *.srt *.txt)", "all files (*.*) (*)"};
    QTest::newRow("one pair") << "Text|*.txt" << QStringList{"Text (*.txt)"};
    QTest::newRow("blanks and empty patterns")
        << "Subs| *.srt ;;*.sub" << QStringList{"Subs (*.srt *.sub)"};
    QTest::newRow("description without patterns")
        << "Text|*.txt|Other" << QStringList{"Text (*.txt)"};
    QTest::newRow("empty") << "" << QStringList{};
  }
  void nameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qtNameFilters(filter.toStdString()), expected);
  }

  void messagesShowLineBreaksAndATitle() {
    QCOMPARE(displayedMessage("one\r\ntwo", MessageIcon::None, std::nullopt),
             (Message{"one\ntwo", "Pellumar", MessageIcon::None}));
    QCOMPARE(displayedMessage("Done.", MessageIcon::Information, std::string("Pellumar")),
             (Message{"Done.", "Pellumar", MessageIcon::Information}));
    QCOMPARE(displayedMessage("x", MessageIcon::None, std::string("Other")),
             (Message{"x", "Other", MessageIcon::None}));
  }

  void messageBoxHasOneOkButton_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("boxIcon");
    QTest::newRow("information") << static_cast<int>(MessageIcon::Information)
                                 << static_cast<int>(QMessageBox::Information);
    QTest::newRow("none") << static_cast<int>(MessageIcon::None)
                          << static_cast<int>(QMessageBox::NoIcon);
  }
  void messageBoxHasOneOkButton() {
    QFETCH(int, icon);
    QFETCH(int, boxIcon);
    QString title, text;
    int shownIcon = -1;
    QList<QAbstractButton*> buttons;
    whenShown<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      shownIcon = box->icon();
      buttons = box->buttons();
      box->button(QMessageBox::Ok)->click();
    });

    MessageBoxPresenter().show(
        Message{"two\n<b>lines</b>", "Pellumar", static_cast<MessageIcon>(icon)});

    QCOMPARE(title, QStringLiteral("Pellumar"));
    QCOMPARE(text, QStringLiteral("two\n<b>lines</b>"));
    QCOMPARE(shownIcon, boxIcon);
    QCOMPARE(buttons.size(), 1);
  }

  void fileDialogOffersTheFilterAndRemembersTheFolder() {
    TempDir folder;
    writeBytes(folder.file("movie.srt"), "x\r\n");
    QWidget window;
    CommonDialog dialog(&window);
    QString title;
    QStringList filters;
    whenShown<QFileDialog>([&](QFileDialog* fileDialog) {
      title = fileDialog->windowTitle();
      filters = fileDialog->nameFilters();
      // Typed, as the folder's listing may not be loaded yet.
      auto* name = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (name != nullptr) name->setText(QString::fromStdString(folder.file("movie.srt")));
      static_cast<QDialog*>(fileDialog)->accept();  // checks the file, as OK does
    });
    dialog.setFilter(kSubtitleFilter);
    dialog.showOpen();

    QCOMPARE(title, QStringLiteral("Open Subtitle File"));
    QCOMPARE(filters,
             (QStringList{"(*.sub;*.srt;*.txt) (*.sub *.srt *.txt)", "all files (*.*) (*)"}));
    QCOMPARE(dialog.fileName(), folder.file("movie.srt"));

    QString openedIn;
    whenShown<QFileDialog>([&](QFileDialog* fileDialog) {
      openedIn = fileDialog->directory().absolutePath();
      fileDialog->reject();
    });
    dialog.showOpen();

    QCOMPARE(openedIn, QString::fromStdString(folder.path().string()));
    QCOMPARE(dialog.fileName(), std::string());
  }

 private:
  // Calls `answer` with the next window of type T once it shows, from inside
  // its event loop, until it goes. Offscreen, a dialog does not always become
  // the active modal widget, nor close on the first answer.
  template <typename T>
  static void whenShown(std::function<void(T*)> answer) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(
        poll, &QTimer::timeout, poll,
        [poll, answer = std::move(answer), shown = QPointer<T>(), answered = false]() mutable {
          if (answered && shown.isNull()) {
            poll->stop();
            poll->deleteLater();
            return;
          }
          for (QWidget* window : QApplication::topLevelWidgets()) {
            if (shown.isNull() && window->isVisible()) shown = qobject_cast<T*>(window);
          }
          if (shown.isNull() || !shown->isVisible()) return;
          answered = true;
          answer(shown.data());
        });
    poll->start();
  }
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::DialogsTest)
#include "dialogs_test.moc"
