#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "processing/window_system.h"

namespace pellumar::cli {

/// The command line's way to the user, for one FILE: the boxes answer from
/// the options, and messages are kept as stderr lines, naming FILE, for the
/// batch to print in order.
class CliWindowSystem : public WindowSystem {
 public:
  CliWindowSystem(std::string file, const CliOptions& options)
      : file_(std::move(file)), options_(options) {}

  void showMessage(const std::string& text, MessageIcon icon,
                   const std::optional<std::string>& title) override;
  bool isTicked(Option option) override { return options_.isTicked(option); }
  void setOpenButtonEnabled(bool) override {}

  /// The lines for stderr so far, each ending in "\n".
  const std::string& errorText() const { return errorText_; }

 private:
  std::string file_;
  const CliOptions& options_;
  std::string errorText_;
};

/// "pellumar-cli: TEXT\n", or "pellumar-cli: FILE: TEXT\n" with a file, with
/// the message's line breaks turned into spaces so it stays one line.
std::string errorLine(const std::string& text, const std::optional<std::string>& file = {});

/// Writes `text` to `stream` as it stands; nothing for an empty text.
void writeText(const std::string& text, std::FILE* stream);

}  // namespace pellumar::cli
