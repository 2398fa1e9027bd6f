// Blank-subtitle removal for SubRip files on any lines: blocks are handed on
// or logged whole, as a plain model of blocks decides, and a block that
// reaches a 14th line stops the stage with the message naming its first line.
// A second removal changes nothing.

#include "fuzz/fuzz_support.h"
#include "processing/passes/blank_subtitles.h"
#include "processing/files/run_failure.h"
#include "tests/support/rule_models.h"
#include "tests/support/stage_runner.h"

namespace pellumar::fuzz::block_blank_stage {

struct Model {
  std::vector<std::string> out, log;
  std::optional<std::string> overlongAt;  // first line of the block that overflowed
};

Model blocksOf(const std::vector<std::string>& lines) {
  Model model;
  std::vector<std::string> block;
  bool leading = true;
  auto decide = [&] {
    bool hasText = false;
    for (std::size_t i = 2; i < block.size(); ++i) hasText = hasText || !block[i].empty();
    if (leading || hasText) {
      model.out.insert(model.out.end(), block.begin(), block.end());
    } else {
      model.log.push_back(kSkippedBlock + block[0]);
    }
  };
  for (const std::string& line : lines) {
    if (testing::readsBackAsNumber(line)) {
      decide();
      block = {line};
      leading = false;
    } else if (block.size() == BlockBlankStage::kMaxBlockLines) {
      model.overlongAt = block[0];
      return model;
    } else {
      block.push_back(line);
    }
  }
  decide();
  return model;
}

int run(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      splitAtLineFeeds(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::string& line : lines)
    FUZZ_CHECK(isIndexLine(line) == testing::readsBackAsNumber(line));

  testing::VectorLog log;
  testing::VectorSink out;
  BlockBlankStage stage(log);
  std::optional<std::string> overlong;
  try {
    testing::runLines(stage, lines, out);
  } catch (const OverlongBlock& block) {
    overlong = block.message();
  }
  const Model model = blocksOf(lines);
  FUZZ_CHECK(out.lines == model.out);
  FUZZ_CHECK(log.entries == model.log);
  FUZZ_CHECK(overlong.has_value() == model.overlongAt.has_value());
  if (overlong) FUZZ_CHECK(*overlong == overlongBlockMessage(*model.overlongAt));

  // The blocks handed on are whole and have text (or lead the file), so a
  // second removal hands them all on again.
  testing::VectorLog secondLog;
  BlockBlankStage second(secondLog);
  FUZZ_CHECK(testing::runLines(second, out.lines) == out.lines && secondLog.entries.empty());
  return 0;
}

}  // namespace pellumar::fuzz::block_blank_stage

PELLUMAR_FUZZ_TARGET(block_blank_stage)
