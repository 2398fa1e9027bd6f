// Collapsing runs of empty lines on any lines: only empty lines go, no two
// empty lines stay side by side, and a second collapse changes nothing.

#include "fuzz/fuzz_support.h"
#include "fuzz/stage_sinks.h"
#include "processing/srt_blank_lines.h"

namespace pellumar::fuzz::srt_blank_line_stage {

std::vector<std::string> collapsed(const std::vector<std::string>& lines) {
  CollectingSink out;
  SrtBlankLineStage stage;
  pushAll(stage, lines, out);
  return out.lines;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      splitAtLineFeeds(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> out = collapsed(lines);

  std::vector<std::string> expected;
  for (const std::string& line : lines) {
    if (line.empty() && !expected.empty() && expected.back().empty()) continue;
    expected.push_back(line);
  }
  FUZZ_CHECK(out == expected);
  FUZZ_CHECK(collapsed(out) == out);
  return 0;
}

}  // namespace pellumar::fuzz::srt_blank_line_stage

PELLUMAR_FUZZ_TARGET(srt_blank_line_stage)
