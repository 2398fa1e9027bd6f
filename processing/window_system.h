#pragma once

#include <optional>
#include <string>

#include "processing/options.h"

namespace pellumar {

enum class MessageIcon { None, Information };

/// The program's title, shown on its messages.
inline constexpr const char* kAppTitle = "Pellumar";

/// The core's port to the user: messages, the boxes' values and the open
/// button. The window, the command line and the tests each supply their own.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  /// Modal: returns when the user has closed the message. `text` may hold
  /// CR LF line breaks. Without a title the application's title is shown.
  virtual void showMessage(const std::string& text, MessageIcon icon,
                           const std::optional<std::string>& title) = 0;

  /// The open-file dialog, which only the window has: elsewhere files are
  /// named to ProcessingRun::clean() directly and nothing is ever chosen.
  /// `filter` holds description|patterns pairs separated by "|", patterns
  /// separated by ";". Returns the chosen full path, or empty text when the
  /// user cancelled.
  virtual std::string chooseFile(const std::string& /*title*/, const std::string& /*filter*/) {
    return {};
  }

  /// The box's value at the moment of the call.
  virtual bool isTicked(Option option) = 0;

  /// Enables or disables the open button.
  virtual void setOpenButtonEnabled(bool enabled) = 0;
};

}  // namespace pellumar
