#include "processing/subtitle_kind.h"

#include "processing/line_reader.h"
#include "processing/run_context.h"

namespace pellumar {

namespace {

// Only "more than 3" matters, so neither count needs to go further.
constexpr int kLinesNeeded = 4;

// Empties the label however detection ends.
class LabelGuard {
 public:
  explicit LabelGuard(std::string& label) : label_(label) {}
  ~LabelGuard() { label_.clear(); }
  LabelGuard(const LabelGuard&) = delete;
  LabelGuard& operator=(const LabelGuard&) = delete;

 private:
  std::string& label_;
};

}  // namespace

bool isFrameLine(std::string_view line) {
  int opening = 0;
  int closing = 0;
  for (const char c : line) {
    if (c == '{') {
      ++opening;
    } else if (c == '}') {
      ++closing;
    } else {
      continue;
    }
    if (opening >= 2 && closing >= 2) return true;
  }
  return false;
}

bool isArrowLine(std::string_view line) { return line.find("-->") != std::string_view::npos; }

SubtitleKind detectSubtitleKind(const std::string& path, const TextEncoding& encoding) {
  LineReader reader(path, encoding);
  int frameLines = 0;
  int arrowLines = 0;
  std::string line;
  while ((frameLines < kLinesNeeded || arrowLines < kLinesNeeded) && reader.next(line)) {
    if (frameLines < kLinesNeeded && isFrameLine(line)) ++frameLines;
    if (arrowLines < kLinesNeeded && isArrowLine(line)) ++arrowLines;
  }
  return {frameLines >= kLinesNeeded, arrowLines >= kLinesNeeded};
}

std::string unknownKindMessage(const std::string& optionLabel) {
  return "Unknown subtitle type.\r\nCannot process for " + optionLabel + " option.";
}

SubtitleKind askSubtitleKind(RunContext& run, Option askingOption) {
  run.kind = {};
  std::string label = std::string("\"") + optionCaption(askingOption) + "\"";
  {
    run.currentOptionLabel = label;
    LabelGuard guard(run.currentOptionLabel);
    run.kind = detectSubtitleKind(run.paths.inputPath, run.encoding);
  }
  if (!run.kind.isMicroDvd && !run.kind.isSubRip) {
    run.window.showMessage(unknownKindMessage(label), MessageIcon::None, std::string(kAppTitle));
  }
  return run.kind;
}

}  // namespace pellumar
