#pragma once

#include <optional>
#include <string>
#include <vector>

#include "processing/window_system.h"

namespace pellumar {

/// Stands in for the window system during a run that may have to start over:
/// the boxes and the button reach the window system as they are, messages wait
/// for release(), so that the user sees each once.
class HeldMessages : public WindowSystem {
 public:
  explicit HeldMessages(WindowSystem& window) : window_(window) {}

  void showMessage(const std::string& text, MessageIcon icon,
                   const std::optional<std::string>& title) override {
    held_.push_back({text, icon, title});
  }
  bool isTicked(Option option) override { return window_.isTicked(option); }
  void setOpenButtonEnabled(bool enabled) override { window_.setOpenButtonEnabled(enabled); }

  /// Shows the held messages in the order they came.
  void release() {
    for (const Message& message : held_)
      window_.showMessage(message.text, message.icon, message.title);
    held_.clear();
  }

 private:
  struct Message {
    std::string text;
    MessageIcon icon;
    std::optional<std::string> title;
  };
  WindowSystem& window_;
  std::vector<Message> held_;
};

}  // namespace pellumar
