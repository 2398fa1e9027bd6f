#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/batch_progress.h"
#include "ui/file_chooser.h"
#include "ui/message_presenter.h"

class QCheckBox;

namespace pellumar::testing {

/// Records messages instead of showing a modal box.
class RecordingMessages : public MessagePresenter {
 public:
  void show(const Message& message) override {
    if (onShow) onShow(message);
    shown.push_back(message);
  }

  std::vector<Message> shown;
  /// Called as each message is shown, while the caller still waits on it.
  std::function<void(const Message&)> onShow;
};

/// An open-file dialog that "chooses" a set path, recording how it is driven.
class FakeFileChooser : public FileChooser {
 public:
  explicit FakeFileChooser(std::string choice = {}) : choice_(std::move(choice)) {}

  void setDialogTitle(const std::string& title) override { calls.push_back("title " + title); }
  void setFilter(const std::string& filter) override { calls.push_back("filter " + filter); }
  void showOpen() override {
    calls.push_back("open");
    fileName_ = choice_;
  }
  std::string fileName() const override {
    calls.push_back("fileName");
    return fileName_;
  }

  mutable std::vector<std::string> calls;

 private:
  std::string choice_;
  std::string fileName_;
};

/// Records the progress of a run over several files; cancels when file
/// `cancelAt` would be next.
class RecordingProgress : public BatchProgress {
 public:
  explicit RecordingProgress(int cancelAt = -1) : cancelAt_(cancelAt) {}

  void start(int count) override {
    count_ = count;
    calls.push_back("start " + std::to_string(count));
  }
  bool next(int index, const std::string& name) override {
    calls.push_back(progressLabel(index, count_, name));
    return index != cancelAt_;
  }
  void finish() override { calls.push_back("finish"); }

  std::vector<std::string> calls;

 private:
  int cancelAt_;
  int count_ = 0;
};

/// Clicks the box where a user would: on its indicator.
void clickBox(QCheckBox* box);

}  // namespace pellumar::testing
