#pragma once

#include <string>

namespace pellumar {

/// The open-file dialog, driven the way the window drives it at every run:
/// set the filter, open the dialog, read the chosen name.
class FileChooser {
 public:
  virtual ~FileChooser() = default;

  virtual void setDialogTitle(const std::string& title) = 0;

  /// "description|patterns|description|patterns…", patterns separated by ";".
  virtual void setFilter(const std::string& filter) = 0;

  /// Modal; returns when the user has closed the dialog.
  virtual void showOpen() = 0;

  /// The chosen file's full path, or empty text when the user cancelled.
  virtual std::string fileName() const = 0;
};

}  // namespace pellumar
