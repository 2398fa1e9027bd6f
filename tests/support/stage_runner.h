#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "processing/passes/line_stage.h"

namespace pellumar::testing {

using Lines = std::vector<std::string>;

inline const std::string kTime = "00:00:01,000 --> 00:00:02,000";

/// "1|T|a|" stands for the lines "1", kTime, "a", ""; split at another
/// character, the lines are as they stand.
inline Lines split(const std::string& text, char between = '|') {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, between);)
    lines.push_back(line == "T" && between == '|' ? kTime : line);
  if (text.ends_with(between)) lines.emplace_back();
  return lines;
}

/// Collects what a stage hands on. Takes the content, as a file writer may, to
/// catch stages that look at a line after handing it on.
struct VectorSink : LineSink {
  void put(std::string& line) override { lines.push_back(std::move(line)); }
  Lines lines;
};

struct VectorLog : SkipLog {
  void skipped(std::string_view entry) override { entries.emplace_back(entry); }
  Lines entries;
};

/// Feeds `input` through `stage` into `sink` and finishes it, reusing one
/// string for every line the way the copy loop does. What a stage handed on
/// before it threw stays in `sink`.
inline Lines runLines(LineStage& stage, const Lines& input, VectorSink& sink) {
  std::string line;
  for (const auto& text : input) stage.push(line = text, sink);
  stage.finish(sink);
  return sink.lines;
}

inline Lines runLines(LineStage& stage, const Lines& input) {
  VectorSink sink;
  return runLines(stage, input, sink);
}

}  // namespace pellumar::testing
