#include <QCheckBox>
#include <QTest>

#include "tests/ui/fakes.h"
#include "tests/ui/test_registry.h"
#include "ui/help_texts.h"
#include "ui/main_window.h"

namespace pellumar::testing {

namespace {

// Box by box, the tooltips of help mode, exactly.
const std::pair<const char*, const char*> kHelpTexts[] = {
    {"Check1", "Remove formatting codes (ex.{C:$FF0000};{Y:i,u} )"},
    {"Check2", "Deletes all nonrelevant spaces (i.e. spaces preceding .,;: or spaces after-)"},
    {"Check3",
     "Change locale char. found in subtitle files as stated in \"lexmend.ini\" on "
     "\"[Local_char]\" section"},
    {"Check4", "Remove blank lines (removes blank subtitling lines, incl. it's frame index)"},
    {"Check5", "Get ToolTip help"},
    {"Check6", "Change strings as defined in \"lexmend.ini\" on \"[RStrings]\" section"},
    {"Check7",
     "Fix SRT blank lines (removes blank subtitling lines from *.srt files, but leaves frame "
     "index)"},
};

const char* const kFarewell =
    "If you find my little tool useful, just send an\r\n"
    "   \"thanksPL\" email to \"thanks@pellumar.example.org\"";

}  // namespace

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

  void tickingHelpSetsEveryTooltip() {
    clickBox(helpBox());
    QVERIFY(helpBox()->isChecked());
    for (const auto& [name, text] : kHelpTexts) {
      QCOMPARE(box(name)->toolTip(), QString::fromUtf8(text));
    }
  }

  void clearingHelpEmptiesEveryTooltip() {
    clickBox(helpBox());
    clickBox(helpBox());
    QVERIFY(!helpBox()->isChecked());
    for (const auto& [name, text] : kHelpTexts) QVERIFY2(box(name)->toolTip().isEmpty(), name);
  }

  void helpChangesNoOtherBox() {
    clickBox(helpBox());
    QVERIFY(box("Check3")->isChecked());
    QVERIFY(box("Check6")->isChecked());
    for (const char* name : {"Check1", "Check2", "Check4", "Check7"}) {
      QVERIFY(!box(name)->isChecked());
    }
    QCOMPARE(helpBox()->text(), QStringLiteral("give me help"));
  }

  void farewellTextIsExact() { QCOMPARE(farewellMessage(), std::string(kFarewell)); }

  void closingInHelpModeSaysFarewellOnce() {
    clickBox(helpBox());
    QVERIFY(window_->close());
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    const Message& farewell = messages_.shown.front();
    QCOMPARE(farewell.text, QString::fromUtf8(kFarewell).replace("\r\n", "\n"));
    QCOMPARE(farewell.title, QStringLiteral("Pellumar"));
    QCOMPARE(farewell.icon, MessageIcon::None);
    QVERIFY(!window_->isVisible());

    // A second close in the same session must not ask again.
    window_->show();
    QVERIFY(window_->close());
    QCOMPARE(messages_.shown.size(), std::size_t{1});
  }

  void closingWithoutHelpModeIsSilent() {
    QVERIFY(window_->close());
    QVERIFY(messages_.shown.empty());
    QVERIFY(!window_->isVisible());
  }

  void helpTickedThenClearedIsSilentToo() {
    clickBox(helpBox());
    clickBox(helpBox());
    QVERIFY(window_->close());
    QVERIFY(messages_.shown.empty());
  }

 private:
  QCheckBox* box(const char* name) const {
    return window_->findChild<QCheckBox*>(QString::fromLatin1(name));
  }
  QCheckBox* helpBox() const { return box("Check5"); }

  RecordingMessages messages_;
  FakeFileChooser files_;
  std::unique_ptr<MainWindow> window_;
};

PELLUMAR_UI_TEST(HelpModeTest);

}  // namespace pellumar::testing

#include "help_mode_test.moc"
