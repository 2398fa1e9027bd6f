#pragma once

#include <optional>
#include <string>

#include "processing/window_system.h"

class QPushButton;

namespace pellumar {

class FileChooser;
class MessagePresenter;
class OptionBoxes;

/// The core's way to the user in the window: message boxes, the open-file
/// dialog, the option boxes and the open button.
class QtWindowSystem : public WindowSystem {
 public:
  QtWindowSystem(const OptionBoxes& boxes, QPushButton& openButton, MessagePresenter& messages,
                 FileChooser& files);

  void showMessage(const std::string& text, MessageIcon icon,
                   const std::optional<std::string>& title) override;
  std::string chooseFile(const std::string& title, const std::string& filter) override;
  bool isTicked(Option option) override;
  void setOpenButtonEnabled(bool enabled) override;

 private:
  const OptionBoxes& boxes_;
  QPushButton& openButton_;
  MessagePresenter& messages_;
  FileChooser& files_;
};

}  // namespace pellumar
