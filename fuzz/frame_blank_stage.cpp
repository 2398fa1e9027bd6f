// Blank-subtitle removal for frame-based files on any lines: every line is
// either handed on or logged, in order, as the four brace marks decide, and a
// second removal changes nothing.

#include "fuzz/fuzz_support.h"
#include "processing/blank_subtitles.h"
#include "tests/support/stage_runner.h"

namespace pellumar::fuzz::frame_blank_stage {

// The four marks, as written: the text starts at the first character that
// is no brace once two "{" and two "}" have been seen.
bool hasTextByMarks(std::string_view line) {
  bool open1 = false, open2 = false, close1 = false, close2 = false;
  for (const char c : line) {
    if (c == '{') {
      (open1 ? open2 : open1) = true;
    } else if (c == '}') {
      (close1 ? close2 : close1) = true;
    } else if (open1 && open2 && close1 && close2) {
      return true;
    }
  }
  return false;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      splitAtLineFeeds(std::string_view(reinterpret_cast<const char*>(data), size));
  testing::VectorLog log;
  FrameBlankStage stage(log);
  const testing::Lines out = testing::runLines(stage, lines);

  std::vector<std::string> kept, skipped;
  for (const std::string& line : lines) {
    FUZZ_CHECK(frameLineHasText(line) == hasTextByMarks(line));
    if (hasTextByMarks(line)) {
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
