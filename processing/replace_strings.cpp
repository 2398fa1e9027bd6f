#include "processing/replace_strings.h"

#include "processing/line_stage.h"
#include "processing/staged_copy.h"

namespace pellumar {

void replaceFirstOccurrences(const std::vector<TextPair>& replacements, std::string& line) {
  for (const TextPair& entry : replacements) {
    // An empty line contains nothing, not even the empty text.
    if (line.empty()) continue;
    const std::size_t found = line.find(entry.from);
    if (found == std::string::npos) continue;
    line.replace(found, entry.from.size(), entry.to);
  }
}

void replaceStrings(RunContext& run) {
  const bool ticked = run.window.isTicked(Option::ReplaceStrings);
  auto rule = [&run, ticked](std::string& line) {
    if (ticked) replaceFirstOccurrences(run.settings.replacements, line);
  };
  LineRuleStage<decltype(rule)> stage(rule);
  rewriteOutput(run, stage);
}

}  // namespace pellumar
