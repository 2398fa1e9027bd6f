#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "processing/options.h"
#include "tests/ui/fakes.h"
#include "tests/ui/test_registry.h"
#include "ui/main_window.h"

namespace pellumar::testing {

namespace {

struct Expected {
  const char* name;
  const char* caption;
  bool ticked;
};

// Box by box, as the window is designed.
const Expected kBoxes[] = {
    {"Check1", "Remove font styles and colours", false},
    {"Check2", "Delete redundant spaces", false},
    {"Check3", "Substitute localized chararacters", true},
    {"Check4", "Delete blank lines", false},
    {"Check5", "give me help", false},
    {"Check6", "Search and Replace strings", true},
    {"Check7", "Fix SRT blank lines", false},
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<MainWindow>(Settings{}, WindowDialogs{&messages_, &files_});
  }
  void cleanup() { window_.reset(); }

  void namesTheWindowAndItsParts() {
    QCOMPARE(window_->objectName(), QStringLiteral("Form1"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Pellumar"));
    QCOMPARE(window_->openButton()->objectName(), QStringLiteral("Command1"));
    QCOMPARE(window_->openButton()->text(), QStringLiteral("Open Sub File"));
    QVERIFY(window_->openButton()->isEnabled());
    QCOMPARE(window_->findChildren<QCheckBox*>().size(), 7);
  }

  void startsWithTheDesignedCaptionsAndValues() {
    for (const Expected& expected : kBoxes) {
      auto* box = window_->findChild<QCheckBox*>(QString::fromLatin1(expected.name));
      QVERIFY2(box != nullptr, expected.name);
      QCOMPARE(box->text(), QString::fromUtf8(expected.caption));
      QCOMPARE(box->isChecked(), expected.ticked);
      QVERIFY(box->toolTip().isEmpty());
    }
  }

  void pairsEachOptionWithItsBox() {
    QCOMPARE(window_->optionBox(Option::RemoveFormattingCodes)->objectName(), "Check1");
    QCOMPARE(window_->optionBox(Option::DeleteRedundantSpaces)->objectName(), "Check2");
    QCOMPARE(window_->optionBox(Option::SubstituteLocalChars)->objectName(), "Check3");
    QCOMPARE(window_->optionBox(Option::DeleteBlankSubtitles)->objectName(), "Check4");
    QCOMPARE(window_->optionBox(Option::HelpMode)->objectName(), "Check5");
    QCOMPARE(window_->optionBox(Option::ReplaceStrings)->objectName(), "Check6");
    QCOMPARE(window_->optionBox(Option::FixSrtBlankLines)->objectName(), "Check7");
  }

  void openButtonHasTheFocusAtStart() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(QApplication::focusWidget(), window_->openButton());
  }

  void tabGoesFromTheButtonThroughTheBoxesInNumberOrder() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
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

PELLUMAR_UI_TEST(MainWindowTest);

}  // namespace pellumar::testing

#include "main_window_test.moc"
