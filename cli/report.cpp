#include "cli/report.h"

#include <filesystem>

#include "cli/output_text.h"

namespace pellumar::cli {

namespace fs = std::filesystem;

std::string whyNotAFile(const std::string& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (fs::is_directory(status)) {
    return "Is a folder, not a file. Use -r to clean the subtitle files in it.";
  }
  if (fs::exists(status)) return "Not a regular file.";
  return "No such file.";
}

std::string encodingLine(const RunOutcome& outcome) {
  const TextEncoding& read = *outcome.readAs;
  const TextEncoding& written = *outcome.writtenAs;
  if (read.nameWithBom() == written.nameWithBom()) return "read as " + read.name();
  return "read as " + read.nameWithBom() + ", written as " + written.nameWithBom();
}

std::string coloured(const std::string& diff) {
  std::string text;
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < diff.size(); ++lineNumber) {
    const std::size_t end = diff.find('\n', start);
    const std::string line = diff.substr(start, end - start);
    start = end == std::string::npos ? diff.size() : end + 1;
    const char* colour = lineNumber < 2   ? "\033[1m"
                         : line[0] == '@' ? "\033[36m"
                         : line[0] == '-' ? "\033[31m"
                         : line[0] == '+' ? "\033[32m"
                                          : nullptr;
    text += colour ? colour + line + "\033[m\n" : line + "\n";
  }
  return text;
}

std::string Report::errorText(const RunOutcome& outcome) const {
  const std::string& file = outcome.paths.inputPath;
  std::string text;
  // Before the file's other lines: the encoding is known before any pass runs.
  if (options_.verbose && outcome.readAs) text += errorLine(encodingLine(outcome), file);
  if (options_.verbose && outcome.lineEndsChange) {
    text += errorLine("line ends would become CR LF", file);
  }
  for (const std::string& note : outcome.notes) text += errorLine(note, file);
  if (outcome.failure) text += errorLine(*outcome.failure, file);
  if (outcome.ending == RunOutcome::Ending::NotAFile) text += errorLine(whyNotAFile(file), file);
  if (options_.verbose && outcome.ending == RunOutcome::Ending::LeftAlone) {
    text += errorLine("left alone: " + outcome.leftAlone + ".", file);
  }
  return text;
}

void Report::print(std::span<const RunOutcome> outcomes) {
  for (const RunOutcome& outcome : outcomes) {
    switch (outcome.ending) {
      case RunOutcome::Ending::Cleaned:
        ++cleaned_;
        break;
      case RunOutcome::Ending::LeftAlone:
        ++leftAlone_;
        break;
      case RunOutcome::Ending::NotAFile:
      case RunOutcome::Ending::Failed:
        ++failed_;
        break;
    }
    const std::string errors = errorText(outcome);
    if (!errors.empty()) {
      // What is buffered for stdout belongs before these lines.
      std::fflush(out_);
      writeText(errors, err_);
      std::fflush(err_);
    }
    if (options_.mode == RunMode::Preview) {
      writeText(colour_ ? coloured(outcome.changes) : outcome.changes, out_);
    } else if (outcome.cleaned() && !options_.quiet) {
      writeText(outcome.paths.inputPath + " -> " + outcome.output + "\n", out_);
    }
  }
  std::fflush(out_);
}

std::string Report::sum() const {
  return std::to_string(cleaned_) + " cleaned, " + std::to_string(failed_) + " failed, " +
         std::to_string(leftAlone_) + " left alone";
}

}  // namespace pellumar::cli
