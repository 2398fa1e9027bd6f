#pragma once

#include <stdexcept>
#include <string>

namespace pellumar {

/// Ends one processing run. The text is shown to the user as it stands, so it
/// names the file and the reason in plain words.
class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message)
      : std::runtime_error(message), message_(message) {}

  /// The whole text. what() ends at the first NUL, and a line quoted from a
  /// file (the overlong block's first line) may hold one.
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

}  // namespace pellumar
