#include "ui/file_batch.h"

#include <filesystem>

#include "ui/batch_progress.h"

namespace pellumar {

namespace {

constexpr const char* kLineBreak = "\r\n";

std::string nameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// A file found in a folder is shown with its folder's name, so that the
// episodes of two seasons can be told apart.
std::string shownName(const FileToClean& file) {
  const std::filesystem::path path(file.path);
  if (!file.inFolder) return path.filename().string();
  return (path.parent_path().filename() / path.filename()).string();
}

// A message keeps to one indented line of the summary.
std::string noteLine(const std::string& text) {
  std::string line = "    ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    line += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
  }
  return line + kLineBreak;
}

enum class Section { Written, Failed, LeftAlone, Cancelled };

Section sectionOf(const std::optional<RunOutcome>& outcome) {
  if (!outcome) return Section::Cancelled;
  if (outcome->ending == RunOutcome::Ending::LeftAlone) return Section::LeftAlone;
  return outcome->cleaned() ? Section::Written : Section::Failed;
}

void addSection(std::string& summary, const char* heading, const std::vector<FileToClean>& files,
                const BatchOutcomes& outcomes, Section section) {
  std::string lines;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (sectionOf(outcomes[i]) != section) continue;
    lines += shownName(files[i]);
    if (section == Section::Written) lines += " -> " + nameOf(outcomes[i]->output);
    if (section == Section::LeftAlone) lines += ": " + outcomes[i]->leftAlone;
    lines += kLineBreak;
    if (!outcomes[i]) continue;
    for (const std::string& note : outcomes[i]->notes) lines += noteLine(note);
    if (section == Section::Failed) lines += noteLine(failureText(*outcomes[i]));
  }
  if (!lines.empty()) summary += kLineBreak + std::string(heading) + kLineBreak + lines;
}

}  // namespace

BatchOutcomes cleanEach(const std::vector<FileToClean>& files, const RunRequest& request,
                        BatchProgress& progress) {
  BatchOutcomes outcomes(files.size());
  progress.start(static_cast<int>(files.size()));
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (!progress.next(static_cast<int>(index), shownName(files[index]))) break;
    outcomes[index] = cleanFile(files[index], request);
  }
  progress.finish();
  return outcomes;
}

std::string failureText(const RunOutcome& outcome) {
  return outcome.failure.value_or("No such file.");
}

std::string batchSummary(const std::vector<FileToClean>& files, const BatchOutcomes& outcomes) {
  std::size_t written = 0, leftAlone = 0;
  for (const auto& outcome : outcomes) {
    if (outcome && outcome->cleaned()) ++written;
    if (sectionOf(outcome) == Section::LeftAlone) ++leftAlone;
  }
  std::string summary = "Cleaned " + std::to_string(written) + " of " +
                        std::to_string(files.size() - leftAlone) + " files";
  summary += leftAlone == 0 ? "." : "; " + std::to_string(leftAlone) + " left alone.";
  summary += kLineBreak;
  addSection(summary, "Written:", files, outcomes, Section::Written);
  addSection(summary, "Failed:", files, outcomes, Section::Failed);
  addSection(summary, "Left alone:", files, outcomes, Section::LeftAlone);
  addSection(summary, "Cancelled, not cleaned:", files, outcomes, Section::Cancelled);
  summary.resize(summary.size() - 2);  // no break after the last line
  return summary;
}

}  // namespace pellumar
