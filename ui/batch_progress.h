#pragma once

#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace pellumar {

/// What a run over several files shows while it works. Tests pass a recorder
/// that can cancel at a chosen file.
class BatchProgress {
 public:
  virtual ~BatchProgress() = default;

  /// `count` files are about to be cleaned.
  virtual void start(int count) = 0;
  /// File `index` (from 0) named `name` is next. False when the user has
  /// cancelled: it and the files after it are not to be cleaned.
  virtual bool next(int index, const std::string& name) = 0;
  /// Every file has had its turn, or the run was cancelled.
  virtual void finish() = 0;
};

/// A window-modal progress dialog: "File N of M: NAME" and a Cancel button
/// that takes effect between files.
class ProgressDialog : public BatchProgress {
 public:
  explicit ProgressDialog(QWidget* parent);
  ~ProgressDialog() override;

  void start(int count) override;
  bool next(int index, const std::string& name) override;
  void finish() override;

  QProgressDialog* dialog() const { return dialog_.get(); }

 private:
  QWidget* parent_;
  std::unique_ptr<QProgressDialog> dialog_;
  int count_ = 0;
};

/// "File 2 of 5: movie.srt".
std::string progressLabel(int index, int count, const std::string& name);

}  // namespace pellumar
