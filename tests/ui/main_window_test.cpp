#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "processing/options.h"
#include "tests/ui/fakes.h"
#include "ui/main_window.h"

namespace pellumar::testing {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<MainWindow>(Settings{}, WindowDialogs{&messages_, &files_});
  }
  void cleanup() { window_.reset(); }

  // The run reads each option from its own box; only two start ticked.
  void startsWithEachOptionInItsBox() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Pellumar"));
    QVERIFY(window_->openButton()->isEnabled());
    const std::pair<Option, bool> boxes[] = {{Option::RemoveFormattingCodes, false},
                                             {Option::DeleteRedundantSpaces, false},
                                             {Option::SubstituteLocalChars, true},
                                             {Option::DeleteBlankSubtitles, false},
                                             {Option::HelpMode, false},
                                             {Option::ReplaceStrings, true},
                                             {Option::FixSrtBlankLines, false}};
    int number = 0;
    for (const auto& [option, ticked] : boxes) {
      QCheckBox* box = window_->optionBox(option);
      QCOMPARE(box->objectName(), QStringLiteral("Check%1").arg(++number));
      QCOMPARE(box->isChecked(), ticked);
      QVERIFY(!box->text().isEmpty());
      QVERIFY(box->toolTip().isEmpty());
    }
    QCOMPARE(window_->findChildren<QCheckBox*>().size(), 7);
  }

  // Focus starts on the open button; Tab then visits the boxes in number order.
  void focusStartsOnTheButtonAndTabFollowsTheNumbers() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(QApplication::focusWidget(), window_->openButton());
    const QStringList expected = {"Check1", "Check2", "Check3", "Check4",
                                  "Check5", "Check6", "Check7", "Command1"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
  }

  void laysOutTwoColumnsAsDesigned() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    const auto box = [this](Option option) { return window_->optionBox(option)->geometry(); };
    const Option left[] = {Option::SubstituteLocalChars, Option::ReplaceStrings,
                           Option::RemoveFormattingCodes, Option::DeleteRedundantSpaces,
                           Option::FixSrtBlankLines};
    for (std::size_t i = 1; i < std::size(left); ++i) {
      QVERIFY(box(left[i]).top() > box(left[i - 1]).top());
      QCOMPARE(box(left[i]).left(), box(left[0]).left());
    }
    const QRect button = window_->openButton()->geometry();
    QVERIFY(box(Option::DeleteBlankSubtitles).left() > box(left[0]).right());
    QCOMPARE(box(Option::DeleteBlankSubtitles).top(), box(Option::SubstituteLocalChars).top());
    QCOMPARE(box(Option::HelpMode).top(), box(Option::FixSrtBlankLines).top());
    QVERIFY(button.top() > box(Option::DeleteBlankSubtitles).bottom());
    QVERIFY(button.bottom() < box(Option::HelpMode).top());
  }

  void cutsNoCaption() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    for (QWidget* widget : window_->findChildren<QWidget*>()) {
      QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(widget->objectName()));
      QVERIFY2(widget->height() >= widget->sizeHint().height(), qPrintable(widget->objectName()));
      QVERIFY(window_->rect().contains(widget->geometry()));
    }
  }

 private:
  RecordingMessages messages_;
  FakeFileChooser files_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::MainWindowTest)
#include "main_window_test.moc"
