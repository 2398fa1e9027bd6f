#include "processing/run/run_steps.h"

namespace pellumar {

SubtitleKind detectKindAndNote(RunContext& run, const Pass& asking) {
  if (!run.kind) run.kind = detectSubtitleKind(run.paths.inputPath, run.input, run.inputContents());
  if (!run.kind->isMicroDvd && !run.kind->isSubRip) {
    run.notes.push_back(unknownKindMessage(std::string("\"") + asking.caption + "\""));
  }
  return *run.kind;
}

std::optional<SubtitleKind> kindToWorkOn(RunContext& run, const Pass& pass) {
  if (!pass.kindFits) return SubtitleKind{};
  const SubtitleKind kind = detectKindAndNote(run, pass);
  if (!pass.kindFits(kind)) return std::nullopt;
  return kind;
}

}  // namespace pellumar
