#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "ui/file_chooser.h"

class QWidget;

namespace pellumar {

/// The dialog's title and its two filters: subtitle files, and all files.
inline constexpr const char* kOpenDialogTitle = "Open Subtitle File";
inline constexpr const char* kSubtitleFilter =
    "(*.sub;*.srt;*.txt)|*.sub;*.srt;*.txt|all files (*.*)|*.*";

/// The window's invisible open-file dialog component. Shows a
/// Qt file dialog over its window and remembers, for this session only, the
/// folder of the last file chosen.
class CommonDialog : public QObject, public FileChooser {
  Q_OBJECT

 public:
  explicit CommonDialog(QWidget* window);

  void setDialogTitle(const std::string& title) override { title_ = title; }
  void setFilter(const std::string& filter) override { filter_ = filter; }
  void showOpen() override;
  std::string fileName() const override { return fileName_; }

 private:
  QWidget* window_;
  std::string title_;
  std::string filter_;
  std::string fileName_;
  QString folder_;  ///< where the dialog opens next; empty: the working folder
};

}  // namespace pellumar
