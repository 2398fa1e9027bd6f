#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "processing/run/folder_walk.h"
#include "processing/run/processing_run.h"
#include "processing/run/settings.h"
#include "ui/message_presenter.h"
#include "ui/option_boxes.h"

class QCheckBox;
class QGridLayout;
class QMimeData;
class QPushButton;

namespace pellumar {

class BatchProgress;
class FileChooser;

/// What the window shows its dialogs through. Null members get the real
/// ones; tests pass fakes so that no modal box waits for a click.
struct WindowDialogs {
  MessagePresenter* messages = nullptr;
  FileChooser* files = nullptr;
  BatchProgress* progress = nullptr;
};

/// The program's one window: seven option boxes and the open button.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(Settings settings, WindowDialogs dialogs = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  QCheckBox* passBox(PassId pass) const { return boxes_->passBox(pass); }
  QCheckBox* helpBox() const { return boxes_->helpBox(); }
  QPushButton* openButton() const { return openButton_; }

  /// What the open button does: asks for a file in the open-file dialog
  /// and cleans it.
  void openAndClean();

  /// What a drop does with the paths dropped, and the command line with the
  /// files it names. Missing names are refused with a message. One file is
  /// cleaned as if chosen in the dialog. Several, and the subtitle files in
  /// the folders among them (as pellumar-cli -r finds them), are cleaned one
  /// after another behind a progress dialog, with one summary at the end
  /// instead of a message box per file.
  void cleanFiles(const std::vector<std::string>& paths);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  /// Runs `work` unless a run is going on, leaving the open button enabled.
  void runGuarded(const std::function<void()>& work);
  /// The window runs the passes staged, with the passes whose boxes are ticked.
  RunRequest requestFor(const std::string& file) const;
  void cleanOne(const std::string& file);
  void cleanSeveral(const std::vector<FileToClean>& files);
  void setOpenButtonEnabled(bool enabled);
  void showMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                   const std::string& details = {});

  Settings settings_;
  std::unique_ptr<MessagePresenter> ownMessages_;
  MessagePresenter* messages_;
  FileChooser* files_;
  BatchProgress* progress_;
  QPushButton* openButton_;
  QGridLayout* grid_;
  std::unique_ptr<OptionBoxes> boxes_;
  bool running_ = false;
  bool farewellShown_ = false;
};

/// The local files and folders a drag carries, as absolute paths; other
/// addresses and names that do not exist are passed over.
std::vector<std::string> droppedPaths(const QMimeData* data);

/// `heading`, then each path on a line of its own: how the window refuses
/// folders and names that do not exist.
std::string namedList(const std::string& heading, const std::vector<std::string>& paths);

}  // namespace pellumar
