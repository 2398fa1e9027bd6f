#include "ui/file_batch.h"

#include <exception>
#include <filesystem>

#include "processing/processing_run.h"
#include "ui/batch_progress.h"

namespace pellumar {

namespace {

constexpr const char* kLineBreak = "\r\n";

std::string nameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
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

void addSection(std::string& summary, const char* heading, const std::vector<FileResult>& results,
                FileResult::State state) {
  std::string lines;
  for (const FileResult& result : results) {
    if (result.state != state) continue;
    lines += nameOf(result.file);
    if (state == FileResult::State::Written) lines += " -> " + nameOf(result.output);
    lines += kLineBreak;
    for (const std::string& note : result.notes) lines += noteLine(note);
  }
  if (!lines.empty()) summary += kLineBreak + std::string(heading) + kLineBreak + lines;
}

}  // namespace

void GatheringWindowSystem::showMessage(const std::string& text, MessageIcon,
                                        const std::optional<std::string>&) {
  messages_.push_back(text);
}

std::vector<FileResult> cleanEach(const std::vector<std::string>& files, const Settings& settings,
                                  const std::array<bool, kOptionCount>& ticks,
                                  BatchProgress& progress) {
  std::vector<FileResult> results;
  for (const std::string& file : files)
    results.push_back({file, FileResult::State::Cancelled, {}, {}});
  progress.start(static_cast<int>(files.size()));
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (!progress.next(static_cast<int>(index), nameOf(files[index]))) break;
    FileResult& result = results[index];
    GatheringWindowSystem window(ticks);
    ProcessingRun run(settings, window, RunMode::Staged);
    run.useThreadsFrom(kThreadsWorthFrom);
    RunOutcome outcome = RunOutcome::Failed;
    try {
      outcome = run.clean(files[index]);
    } catch (const std::exception& error) {
      window.showMessage(error.what(), MessageIcon::None, std::nullopt);
    }
    result.notes = window.messages();
    if (outcome == RunOutcome::Done) {
      result.state = FileResult::State::Written;
      result.output = run.paths().outputPath;
    } else {
      result.state = FileResult::State::Failed;
      if (outcome == RunOutcome::NothingChosen) result.notes.push_back("No such file.");
    }
  }
  progress.finish();
  return results;
}

std::string batchSummary(const std::vector<FileResult>& results) {
  std::size_t written = 0;
  for (const FileResult& result : results) {
    if (result.state == FileResult::State::Written) ++written;
  }
  std::string summary = "Cleaned " + std::to_string(written) + " of " +
                        std::to_string(results.size()) + " files." + kLineBreak;
  addSection(summary, "Written:", results, FileResult::State::Written);
  addSection(summary, "Failed:", results, FileResult::State::Failed);
  addSection(summary, "Cancelled, not cleaned:", results, FileResult::State::Cancelled);
  summary.resize(summary.size() - 2);  // no break after the last line
  return summary;
}

}  // namespace pellumar
