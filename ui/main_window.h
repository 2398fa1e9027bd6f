#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "processing/options.h"
#include "processing/settings.h"
#include "ui/option_boxes.h"

class QCheckBox;
class QMimeData;
class QPushButton;

namespace pellumar {

class FileChooser;
class MessagePresenter;
class QtWindowSystem;

/// What the window shows its dialogs through. Null members get the real
/// ones; tests pass fakes so that no modal box waits for a click.
struct WindowDialogs {
  MessagePresenter* messages = nullptr;
  FileChooser* files = nullptr;
};

/// The program's one window, "Form1": seven option boxes and the open button.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(Settings settings, WindowDialogs dialogs = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  QCheckBox* optionBox(Option option) const { return boxes_.box(option); }
  QPushButton* openButton() const { return openButton_; }

  /// One processing run on the file chosen in the open-file dialog.
  void runProcessing();

  /// One processing run on `path`, as if it had been chosen in the dialog.
  void runProcessingOn(const std::string& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void updateHelpTooltips();
  void layOut();

  Settings settings_;
  std::unique_ptr<MessagePresenter> ownMessages_;
  MessagePresenter* messages_;
  FileChooser* files_;
  QPushButton* openButton_;
  OptionBoxes boxes_;
  std::unique_ptr<QtWindowSystem> windowSystem_;
  bool running_ = false;
  bool farewellShown_ = false;
};

/// The file a drag would start a run on: exactly one local, existing file.
/// Empty for anything else.
std::string droppedFile(const QMimeData* data);

}  // namespace pellumar
