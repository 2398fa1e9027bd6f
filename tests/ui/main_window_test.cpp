#include <QCheckBox>
#include <QTest>

#include "tests/ui/fakes.h"
#include "ui/help_texts.h"

namespace pellumar::testing {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { test_ = std::make_unique<TestWindow>(); }
  void cleanup() { test_.reset(); }

  // Focus starts on the open button; Tab then visits the boxes in number order.
  void focusStartsOnTheButtonAndTabFollowsTheNumbers() {
    QCOMPARE(test_->window.windowTitle(), QStringLiteral("Pellumar"));
    QVERIFY(QTest::qWaitForWindowActive(&test_->window));
    QCOMPARE(QApplication::focusWidget(), test_->window.openButton());
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"Check1", "Check2", "Check3", "Check4", "Check5", "Check6",
                                   "Check7", "Command1"}));
  }

  void laysOutTwoColumnsAsDesigned() {
    const auto box = [this](Option option) { return test_->window.optionBox(option)->geometry(); };
    const Option left[] = {Option::SubstituteLocalChars, Option::ReplaceStrings,
                           Option::RemoveFormattingCodes, Option::DeleteRedundantSpaces,
                           Option::FixSrtBlankLines};
    for (std::size_t i = 1; i < std::size(left); ++i) {
      QVERIFY(box(left[i]).top() > box(left[i - 1]).top());
      QCOMPARE(box(left[i]).left(), box(left[0]).left());
    }
    QVERIFY(box(Option::DeleteBlankSubtitles).left() > box(left[0]).right());
    QCOMPARE(box(Option::DeleteBlankSubtitles).top(), box(Option::SubstituteLocalChars).top());
    QCOMPARE(box(Option::HelpMode).top(), box(Option::FixSrtBlankLines).top());
    QVERIFY(test_->window.openButton()->y() > box(Option::DeleteBlankSubtitles).bottom());
    QVERIFY(test_->window.openButton()->geometry().bottom() < box(Option::HelpMode).top());
    for (QWidget* widget : test_->window.findChildren<QWidget*>()) {
      QVERIFY2(widget->size().expandedTo(widget->sizeHint()) == widget->size(),
               qPrintable(widget->objectName()));
      QVERIFY(test_->window.rect().contains(widget->geometry()));
    }
  }

  // Two boxes start ticked. While help is on, each box has its own help as
  // its tooltip, and no other box changes.
  void helpModeShowsEachBoxsHelp() {
    for (const bool help : {false, true, false}) {
      test_->window.optionBox(Option::HelpMode)->setChecked(help);
      for (int number = 1; number <= kOptionCount; ++number) {
        const Option option = optionOfCheckBox(number);
        QCheckBox* box = test_->window.optionBox(option);
        QCOMPARE(box->toolTip(), help ? QString::fromUtf8(helpText(option)) : QString());
        QCOMPARE(box->isChecked(), option == Option::SubstituteLocalChars ||
                                       option == Option::ReplaceStrings ||
                                       (help && option == Option::HelpMode));
      }
    }
  }

  // Only when help is on at the close; a second close in the same session
  // does not say it again.
  void closingSaysFarewellInHelpMode() {
    for (const int helpClicks : {0, 1, 2}) {
      TestWindow test;
      for (int i = 0; i < helpClicks; ++i) test.window.optionBox(Option::HelpMode)->click();
      for (int i = 0; i < 2; ++i) {
        test.window.show();
        QVERIFY(test.window.close() && !test.window.isVisible());
      }
      const Message farewell{
          "If you find my little tool useful, just send an\n   \"thanksPL\" "
          "email to \"thanks@pellumar.example.org\"",
          "Pellumar", MessageIcon::None};
      QCOMPARE(test.messages.shown, std::vector<Message>(helpClicks == 1 ? 1 : 0, farewell));
    }
  }

 private:
  std::unique_ptr<TestWindow> test_;
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::MainWindowTest)
#include "main_window_test.moc"
