#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "processing/line_stage.h"

namespace pellumar::fuzz {

/// Keeps what a stage hands on.
class CollectingSink : public LineSink {
 public:
  void put(std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

/// Keeps what a stage lists as left out.
class CollectingLog : public SkipLog {
 public:
  void skipped(std::string_view entry) override { entries.emplace_back(entry); }
  std::vector<std::string> entries;
};

/// Pushes copies of the lines through the stage, then finishes it.
inline void pushAll(LineStage& stage, const std::vector<std::string>& lines, LineSink& out) {
  for (const std::string& line : lines) {
    std::string copy = line;
    stage.push(copy, out);
  }
  stage.finish(out);
}

}  // namespace pellumar::fuzz
