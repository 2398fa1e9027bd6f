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
#include <filesystem>

#include "ui/batch_progress.h"
#include "ui/common_dialog.h"
#include "ui/file_batch.h"
#include "ui/object_names.h"

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
      // A layout rather than fixed places, so no caption is cut at a larger
      // font or scale; the window keeps the size that fits them.
      grid_(new QGridLayout(this)),
      boxes_(std::make_unique<OptionBoxes>(this, *grid_)) {
  setObjectName(QString::fromUtf8(kWindowObjectName));
  setWindowTitle(QString::fromUtf8(kAppTitle));
  openButton_->setObjectName(QString::fromUtf8(kOpenButtonObjectName));
  grid_->setSizeConstraint(QLayout::SetFixedSize);
  grid_->addWidget(openButton_, 2, 1, 2, 1, Qt::AlignVCenter);

  QWidget::setTabOrder(openButton_, boxes_->numbered(1));
  for (int number = 1; number < OptionBoxes::kCount; ++number) {
    QWidget::setTabOrder(boxes_->numbered(number), boxes_->numbered(number + 1));
  }
  openButton_->setFocus();

  connect(openButton_, &QPushButton::clicked, this, [this] { openAndClean(); });
  // Toggled rather than clicked, so the tooltips follow the box however it changes.
  connect(helpBox(), &QCheckBox::toggled, this, [this](bool on) { boxes_->showHelp(on); });
  setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::showMessage(const std::string& text, MessageIcon icon,
                             const std::string& details) {
  messages_->show(displayedMessage(text, icon, std::string(kAppTitle), details));
}

void MainWindow::setOpenButtonEnabled(bool enabled) {
  openButton_->setEnabled(enabled);
  // The passes run inside the click without returning to the event loop, so
  // paint now to show the button greyed while they work. No event loop here:
  // queued input then meets the modal message that ends the run, not a window
  // that could start a second one.
  openButton_->repaint();
}

void MainWindow::runGuarded(const std::function<void()>& work) {
  if (running_) return;
  running_ = true;
  work();
  running_ = false;
  // Whatever ended the run, the next one must be possible.
  openButton_->setEnabled(true);
}

RunRequest MainWindow::requestFor(const std::string& file) const {
  // The changes are offered behind each summary's details button.
  return {.settings = settings_,
          .input = file,
          .passes = boxes_->ticked(),
          .mode = RunMode::Staged,
          .showChanges = true};
}

void MainWindow::openAndClean() {
  runGuarded([this] {
    files_->setDialogTitle(kOpenDialogTitle);
    files_->setFilter(kSubtitleFilter);
    files_->showOpen();
    cleanOne(files_->fileName());
  });
}

// A cancelled dialog, or a name that is no file, changes nothing and shows
// nothing. What the passes say comes while the button is grey; the failure or
// "Done." once it is back.
void MainWindow::cleanOne(const std::string& file) {
  if (!std::filesystem::is_regular_file(file)) return;
  setOpenButtonEnabled(false);
  const RunOutcome outcome = clean(requestFor(file));
  for (const std::string& note : outcome.notes) showMessage(note);
  setOpenButtonEnabled(true);
  if (outcome.cleaned()) {
    showMessage("Done.", MessageIcon::Information, outcome.changes);
  } else if (outcome.failure) {
    showMessage(*outcome.failure);
  }
}

void MainWindow::cleanFiles(const std::vector<std::string>& paths) {
  runGuarded([this, &paths] {
    std::vector<std::string> found;
    std::vector<std::string> missing;
    bool folders = false;
    for (const std::string& path : paths) {
      std::error_code ignored;
      const auto status = std::filesystem::status(path, ignored);
      folders = folders || std::filesystem::is_directory(status);
      (std::filesystem::exists(status) ? found : missing).push_back(path);
    }
    // Only a name typed on the command line can be missing: a drop carries
    // what exists.
    if (!missing.empty()) showMessage(namedList("No such file:", missing));
    if (found.size() == 1 && !folders) {
      cleanOne(found.front());
    } else if (!found.empty()) {
      cleanSeveral(filesToClean(found, true, settings_.nameSuffix));
    }
  });
}

void MainWindow::cleanSeveral(const std::vector<FileToClean>& files) {
  // The boxes as they are now hold for every file.
  const RunRequest request = requestFor({});
  setOpenButtonEnabled(false);
  ProgressDialog dialog(this);
  const BatchOutcomes outcomes = cleanEach(files, request, progress_ ? *progress_ : dialog);
  setOpenButtonEnabled(true);
  bool allWritten = true;
  std::string changes;
  for (const auto& outcome : outcomes) {
    allWritten = allWritten && outcome && outcome->ending != RunOutcome::Ending::Failed &&
                 outcome->ending != RunOutcome::Ending::NotAFile;
    if (outcome) changes += outcome->changes;
  }
  showMessage(batchSummary(files, outcomes),
              allWritten ? MessageIcon::Information : MessageIcon::None, changes);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (helpBox()->isChecked() && !farewellShown_) {
    farewellShown_ = true;
    showMessage(farewellMessage(kContactAddress));
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
