#pragma once

#include <QEvent>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <string>
#include <vector>

#include "ui/batch_progress.h"
#include "ui/file_chooser.h"
#include "ui/main_window.h"
#include "ui/message_presenter.h"

namespace pellumar::testing {

/// Records messages instead of showing a modal box, and whether the widget
/// it filters events of was last painted enabled (not grey) while each was
/// shown.
class RecordingMessages : public QObject, public MessagePresenter {
 public:
  void show(const Message& message) override {
    shown.push_back(message);
    texts << message.text;
    buttonEnabled.push_back(paintedEnabled_);
  }
  bool eventFilter(QObject* widget, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      paintedEnabled_ = static_cast<QWidget*>(widget)->isEnabled();
    return false;
  }

  std::vector<Message> shown;
  QStringList texts;
  std::vector<bool> buttonEnabled;

 private:
  bool paintedEnabled_ = false;
};

/// An open-file dialog that "chooses" `choice`, recording how it is driven,
/// one line a call.
class FakeFileChooser : public FileChooser {
 public:
  void setDialogTitle(const std::string& title) override { calls += "title " + title + "\n"; }
  void setFilter(const std::string& filter) override { calls += "filter " + filter + "\n"; }
  void showOpen() override { calls += "open\n"; }
  std::string fileName() const override { return choice; }

  std::string choice;
  std::string calls;
};

/// Records the progress of a run over several files, one line a call;
/// cancels when file `cancelAt` would be next.
class RecordingProgress : public BatchProgress {
 public:
  void start(int count) override { calls += "start " + std::to_string(total = count) + "\n"; }
  bool next(int index, const std::string& name) override {
    calls += progressLabel(index, total, name) + "\n";
    return index != cancelAt;
  }
  void finish() override { calls += "finish\n"; }

  std::string calls;
  int cancelAt = -1;
  int total = 0;
};

/// The window, shown, on settings that replace "teh" with "the", with the
/// recorders above as its dialogs.
struct TestWindow {
  TestWindow()
      : window(Settings{.replacements = {{"teh", "the"}}}, {&messages, &files, &progress}) {
    window.openButton()->installEventFilter(&messages);
    window.show();
    static_cast<void>(QTest::qWaitForWindowExposed(&window));  // the tests fail if not
  }

  RecordingMessages messages;
  FakeFileChooser files;
  RecordingProgress progress;
  MainWindow window;
};

}  // namespace pellumar::testing
