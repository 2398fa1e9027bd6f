#include <QCheckBox>
#include <QSet>
#include <QTest>

#include "tests/ui/fakes.h"
#include "ui/help_texts.h"
#include "ui/main_window.h"

namespace pellumar::testing {

class HelpModeTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    messages_ = RecordingMessages{};
    window_ = std::make_unique<MainWindow>(Settings{}, WindowDialogs{&messages_, &files_});
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  // Each box its own tooltip while help is on, none after; no other box moves.
  void helpModeShowsAndClearsTooltips() {
    clickBox(helpBox());
    QVERIFY(helpBox()->isChecked());
    QSet<QString> tips;
    for (QCheckBox* box : boxes()) {
      QVERIFY2(!box->toolTip().isEmpty(), qPrintable(box->objectName()));
      tips.insert(box->toolTip());
      const bool ticked = box == helpBox() || box->objectName() == QLatin1String("Check3") ||
                          box->objectName() == QLatin1String("Check6");
      QCOMPARE(box->isChecked(), ticked);
    }
    QCOMPARE(tips.size(), 7);

    clickBox(helpBox());
    QVERIFY(!helpBox()->isChecked());
    for (QCheckBox* box : boxes()) {
      QVERIFY2(box->toolTip().isEmpty(), qPrintable(box->objectName()));
    }
  }

  void closingSaysFarewellOnlyInHelpMode_data() {
    QTest::addColumn<int>("helpClicks");
    QTest::addColumn<bool>("farewell");
    QTest::newRow("help never ticked") << 0 << false;
    QTest::newRow("help ticked") << 1 << true;
    QTest::newRow("help ticked and cleared") << 2 << false;
  }
  void closingSaysFarewellOnlyInHelpMode() {
    QFETCH(int, helpClicks);
    QFETCH(bool, farewell);
    for (int i = 0; i < helpClicks; ++i) clickBox(helpBox());
    QVERIFY(window_->close());
    QVERIFY(!window_->isVisible());
    QCOMPARE(messages_.shown.size(), std::size_t{farewell ? 1u : 0u});
    if (!farewell) return;
    const Message& shown = messages_.shown.front();
    QCOMPARE(shown.text, QString::fromStdString(farewellMessage()).replace("\r\n", "\n"));
    QVERIFY(shown.text.contains(QString::fromLatin1(kContactAddress)));
    QCOMPARE(shown.title, QStringLiteral("Pellumar"));
    QCOMPARE(shown.icon, MessageIcon::None);

    // A second close in the same session must not ask again.
    window_->show();
    QVERIFY(window_->close());
    QCOMPARE(messages_.shown.size(), std::size_t{1});
  }

 private:
  QList<QCheckBox*> boxes() const { return window_->findChildren<QCheckBox*>(); }
  QCheckBox* helpBox() const { return window_->optionBox(Option::HelpMode); }

  RecordingMessages messages_;
  FakeFileChooser files_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace pellumar::testing

QTEST_MAIN(pellumar::testing::HelpModeTest)
#include "help_mode_test.moc"
