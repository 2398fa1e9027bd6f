#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <array>
#include <exception>
#include <filesystem>

#include "processing/processing_run.h"
#include "ui/batch_progress.h"
#include "ui/common_dialog.h"
#include "ui/file_batch.h"
#include "ui/help_texts.h"
#include "ui/message_presenter.h"
#include "ui/qt_window_system.h"

namespace pellumar {

MainWindow::MainWindow(Settings settings, WindowDialogs dialogs, QWidget* parent)
    : QWidget(parent),
      settings_(std::move(settings)),
      ownMessages_(dialogs.messages ? nullptr : std::make_unique<MessageBoxPresenter>(this)),
      messages_(dialogs.messages ? dialogs.messages : ownMessages_.get()),
      files_(dialogs.files ? dialogs.files : new CommonDialog(this)),
      progress_(dialogs.progress),
      // Made before the boxes, since it comes first in the tab order.
      openButton_(new QPushButton(QStringLiteral("Open Sub File"), this)),
      boxes_(this),
      windowSystem_(std::make_unique<QtWindowSystem>(boxes_, *openButton_, *messages_, *files_)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kAppTitle));
  openButton_->setObjectName(QStringLiteral("Command1"));
  layOut();

  QWidget::setTabOrder(openButton_, optionBox(optionOfCheckBox(1)));
  for (int number = 1; number < kOptionCount; ++number) {
    QWidget::setTabOrder(optionBox(optionOfCheckBox(number)),
                         optionBox(optionOfCheckBox(number + 1)));
  }
  openButton_->setFocus();

  connect(openButton_, &QPushButton::clicked, this, [this] { runProcessing(); });
  // Toggled rather than clicked, so the tooltips follow the box however it changes.
  connect(optionBox(Option::HelpMode), &QCheckBox::toggled, this, [this] { updateHelpTooltips(); });
  setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::layOut() {
  // Left: the options in the order a run applies them. Right: blank-line
  // removal beside the first row, the open button in the middle, help mode
  // beside the last row. A layout rather than fixed places, so no caption is
  // cut at a larger font or scale; the window keeps the size that fits them.
  auto* grid = new QGridLayout(this);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  const Option leftColumn[] = {Option::SubstituteLocalChars, Option::ReplaceStrings,
                               Option::RemoveFormattingCodes, Option::DeleteRedundantSpaces,
                               Option::FixSrtBlankLines};
  int row = 0;
  for (Option option : leftColumn) grid->addWidget(optionBox(option), row++, 0);
  grid->addWidget(optionBox(Option::DeleteBlankSubtitles), 0, 1);
  grid->addWidget(openButton_, 2, 1, 2, 1, Qt::AlignVCenter);
  grid->addWidget(optionBox(Option::HelpMode), 4, 1);
}

void MainWindow::runGuarded(const std::function<void()>& work) {
  if (running_) return;
  running_ = true;
  try {
    work();
  } catch (const std::exception& error) {
    // An exception must not travel on into Qt's event loop.
    windowSystem_->showMessage(error.what(), MessageIcon::None, std::nullopt);
  }
  running_ = false;
  // Whatever ended the run, the next one must be possible.
  openButton_->setEnabled(true);
}

// The window cleans one file at a time, so a large one may have a second
// thread.
ProcessingRun MainWindow::stagedRun() {
  ProcessingRun run(settings_, *windowSystem_, RunMode::Staged);
  run.useThreadsFrom(kThreadsWorthFrom);
  return run;
}

void MainWindow::runProcessing() {
  runGuarded([this] { stagedRun().run(); });
}

void MainWindow::cleanFiles(const std::vector<std::string>& paths) {
  runGuarded([this, &paths] {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::vector<std::string> missing;
    for (const std::string& path : paths) {
      std::error_code ignored;
      const auto status = std::filesystem::status(path, ignored);
      (std::filesystem::is_directory(status) ? folders
       : std::filesystem::exists(status)     ? files
                                             : missing)
          .push_back(path);
    }
    if (!folders.empty()) {
      windowSystem_->showMessage(namedList("Folders are not cleaned, only files:", folders),
                                 MessageIcon::None, std::nullopt);
    }
    // Only a name typed on the command line can be missing: a drop carries
    // what exists.
    if (!missing.empty()) {
      windowSystem_->showMessage(namedList("No such file:", missing), MessageIcon::None,
                                 std::nullopt);
    }
    if (files.size() == 1) {
      stagedRun().cleanAndConfirm(files.front());
    } else if (files.size() > 1) {
      cleanSeveral(files);
    }
  });
}

void MainWindow::cleanSeveral(const std::vector<std::string>& files) {
  // The boxes as they are now hold for every file.
  std::array<bool, kOptionCount> ticks{};
  for (int number = 1; number <= kOptionCount; ++number) {
    const Option option = optionOfCheckBox(number);
    ticks[static_cast<std::size_t>(option)] = optionBox(option)->isChecked();
  }
  windowSystem_->setOpenButtonEnabled(false);
  ProgressDialog dialog(this);
  const std::vector<FileResult> results =
      cleanEach(files, settings_, ticks, progress_ ? *progress_ : dialog);
  windowSystem_->setOpenButtonEnabled(true);
  bool allWritten = true;
  for (const FileResult& result : results) {
    allWritten = allWritten && result.state == FileResult::State::Written;
  }
  windowSystem_->showMessage(batchSummary(results),
                             allWritten ? MessageIcon::Information : MessageIcon::None, kAppTitle);
}

void MainWindow::updateHelpTooltips() {
  const bool helpMode = optionBox(Option::HelpMode)->isChecked();
  for (int number = 1; number <= kOptionCount; ++number) {
    const Option option = optionOfCheckBox(number);
    optionBox(option)->setToolTip(helpMode ? QString::fromUtf8(helpText(option)) : QString());
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (optionBox(Option::HelpMode)->isChecked() && !farewellShown_) {
    farewellShown_ = true;
    windowSystem_->showMessage(farewellMessage(), MessageIcon::None, kAppTitle);
  }
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (running_ || !(event->possibleActions() & Qt::CopyAction)) return;
  if (droppedPaths(event->mimeData()).empty()) return;
  // Copy, never move: the file manager must not delete what it dragged here.
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths = droppedPaths(event->mimeData());
  if (running_ || paths.empty() || !(event->possibleActions() & Qt::CopyAction)) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  // Start after the drop has returned: the file manager waits for it, and the
  // run's messages are modal.
  QMetaObject::invokeMethod(
      this, [this, paths = std::move(paths)] { cleanFiles(paths); }, Qt::QueuedConnection);
}

std::vector<std::string> droppedPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const QFileInfo entry(url.toLocalFile());
    if (!entry.isFile() && !entry.isDir()) continue;
    paths.push_back(QFile::encodeName(entry.absoluteFilePath()).toStdString());
  }
  return paths;
}

std::string namedList(const std::string& heading, const std::vector<std::string>& paths) {
  std::string text = heading;
  for (const std::string& path : paths) text += "\r\n" + path;
  return text;
}

}  // namespace pellumar
