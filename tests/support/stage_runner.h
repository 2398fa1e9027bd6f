#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "processing/passes/line_stage.h"

namespace pellumar::testing {

using Lines = std::vector<std::string>;

/// Collects what a stage hands on. Takes the content, as a file writer may, to
/// catch stages that look at a line after handing it on.
class VectorSink : public LineSink {
 public:
  void put(std::string& line) override { lines.push_back(std::move(line)); }
  Lines lines;
};

class VectorLog : public SkipLog {
 public:
  void skipped(std::string_view entry) override { entries.emplace_back(entry); }
  Lines entries;
};

/// Feeds `input` through `stage` into `sink` and finishes it, reusing one
/// string for every line the way the copy loop does. What a stage handed on
/// before it threw stays in `sink`.
inline void runLines(LineStage& stage, const Lines& input, VectorSink& sink) {
  std::string line;
  for (const auto& text : input) stage.push(line = text, sink);
  stage.finish(sink);
}

/// The lines `stage` hands on for `input`.
inline Lines runLines(LineStage& stage, const Lines& input) {
  VectorSink sink;
  runLines(stage, input, sink);
  return sink.lines;
}

}  // namespace pellumar::testing
