#include "processing/passes/srt_blank_lines.h"

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

}  // namespace pellumar
