// Collapsing runs of empty lines on any lines: only empty lines go, no two
// empty lines stay side by side, and a second collapse changes nothing.

#include "fuzz/fuzz_support.h"
#include "processing/passes/srt_blank_lines.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

namespace pellumar::fuzz::srt_blank_line_stage {

std::vector<std::string> collapsed(const std::vector<std::string>& lines) {
  SrtBlankLineStage stage;
  return testing::runLines(stage, lines);
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      splitAtLineFeeds(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> out = collapsed(lines);
  FUZZ_CHECK(out == testing::collapseEmptyRuns(lines));
  FUZZ_CHECK(collapsed(out) == out);
  return 0;
}

}  // namespace pellumar::fuzz::srt_blank_line_stage

PELLUMAR_FUZZ_TARGET(srt_blank_line_stage)
