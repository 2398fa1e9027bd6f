#include "ui/batch_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "ui/object_names.h"

namespace pellumar {

ProgressDialog::ProgressDialog(QWidget* parent) : parent_(parent) {}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::start(int count) {
  count_ = count;
  dialog_ = std::make_unique<QProgressDialog>(parent_);
  dialog_->setWindowTitle(QString::fromUtf8(kAppTitle));
  dialog_->setWindowModality(Qt::WindowModal);
  dialog_->setRange(0, count);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  // Shown at once: even a short run over several files says what it did.
  dialog_->setMinimumDuration(0);
  dialog_->setValue(0);
}

bool ProgressDialog::next(int index, const std::string& name) {
  // Let a click on Cancel arrive before the next file starts.
  QCoreApplication::processEvents();
  if (dialog_->wasCanceled()) return false;
  dialog_->setLabelText(QString::fromStdString(progressLabel(index, count_, name)));
  dialog_->setValue(index);
  QCoreApplication::processEvents();
  return !dialog_->wasCanceled();
}

void ProgressDialog::finish() {
  if (!dialog_) return;
  dialog_->setValue(count_);
  dialog_->close();
  dialog_.reset();
}

std::string progressLabel(int index, int count, const std::string& name) {
  return "File " + std::to_string(index + 1) + " of " + std::to_string(count) + ": " + name;
}

}  // namespace pellumar
