#include "ui/common_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

#include "ui/file_filter.h"
#include "ui/object_names.h"

namespace pellumar {

CommonDialog::CommonDialog(QWidget* window)
    : QObject(window), window_(window), title_(kOpenDialogTitle) {
  setObjectName(QString::fromUtf8(kOpenDialogObjectName));
}

void CommonDialog::showOpen() {
  fileName_.clear();
  QFileDialog dialog(window_, QString::fromStdString(title_), folder_);
  dialog.setObjectName(QStringLiteral("OpenSubtitleFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // The descriptions already name their patterns; Qt would repeat them.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(qtNameFilters(filter_));
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return;
  folder_ = QFileInfo(chosen.constFirst()).absolutePath();
  // The core opens files by their bytes on disk, not by Qt's Unicode name.
  fileName_ = QFile::encodeName(chosen.constFirst()).toStdString();
}

}  // namespace pellumar
