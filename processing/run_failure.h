#pragma once

#include <stdexcept>
#include <string>

namespace pellumar {

/// Ends one processing run. The text is shown to the user as it stands, so it
/// names the file and the reason in plain words.
class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message) : std::runtime_error(message) {}
};

/// A subtitle block too long to buffer. The run ends, but the output keeps what
/// the passes before blank-subtitle removal made of the text.
class OverlongBlock : public RunFailure {
 public:
  using RunFailure::RunFailure;
};

}  // namespace pellumar
