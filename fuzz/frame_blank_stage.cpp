// Blank-subtitle removal for frame-based files on any lines: every line is
// either handed on or logged, in order, as the four brace marks decide, and a
// second removal changes nothing.

#include "fuzz/fuzz_support.h"
#include "processing/passes/blank_subtitles.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

namespace pellumar::fuzz::frame_blank_stage {

int run(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      splitAtLineFeeds(std::string_view(reinterpret_cast<const char*>(data), size));
  testing::VectorLog log;
  FrameBlankStage stage(log);
  const testing::Lines out = testing::runLines(stage, lines);

  std::vector<std::string> kept, skipped;
  for (const std::string& line : lines) {
    FUZZ_CHECK(frameLineHasText(line) == testing::hasTextByMarks(line));
    if (testing::hasTextByMarks(line)) {
      kept.push_back(line);
    } else {
      skipped.push_back(kSkippedFrameLine + line);
    }
  }
  FUZZ_CHECK(out == kept);
  FUZZ_CHECK(log.entries == skipped);

  // What is kept has text, so a second removal leaves it all.
  testing::VectorLog secondLog;
  FrameBlankStage second(secondLog);
  FUZZ_CHECK(testing::runLines(second, out) == out && secondLog.entries.empty());
  return 0;
}

}  // namespace pellumar::fuzz::frame_blank_stage

PELLUMAR_FUZZ_TARGET(frame_blank_stage)
