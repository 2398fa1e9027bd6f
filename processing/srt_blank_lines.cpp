#include "processing/srt_blank_lines.h"

#include "processing/staged_copy.h"

namespace pellumar {

void SrtBlankLineStage::push(std::string& line, LineSink& out) {
  // A line of spaces is not empty here; it ends the run.
  if (line.empty()) {
    if (!inRun_) out.put(line);
    inRun_ = true;
    return;
  }
  inRun_ = false;
  out.put(line);
}

void collapseSrtBlankLines(RunContext& run) {
  // A file detected as frame-based is left alone, even without a message.
  if (!askSubtitleKind(run, Option::FixSrtBlankLines).isSubRip) return;
  SrtBlankLineStage stage;
  rewriteOutput(run, stage);
}

}  // namespace pellumar
