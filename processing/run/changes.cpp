#include "processing/run/changes.h"

#include "processing/run/line_copy.h"
#include "processing/run/single_pass.h"
#include "processing/text/line_reader.h"

namespace pellumar {

namespace {

class VectorSink : public LineSink {
 public:
  explicit VectorSink(std::vector<std::string>& lines) : lines_(lines) {}
  void put(std::string& line) override { lines_.push_back(std::move(line)); }

 private:
  std::vector<std::string>& lines_;
};

// A preview lists nothing: what would be left out shows as removed lines.
class UnwrittenLog : public SkipLog {
 public:
  void skipped(std::string_view) override {}
};

std::vector<std::string> readLines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) lines.push_back(line);
  return lines;
}

}  // namespace

Preview runPreview(RunContext& run) {
  const PassKinds kinds = kindsOfAskedPasses(run);
  UnwrittenLog log;
  Pipeline pipeline = composePasses(run, kinds, 0, kPassCount, &log);
  LineReader reader(run.paths.inputPath, run.input, run.inputContents());
  Preview preview;
  VectorSink sink(preview.after);
  std::string line;
  while (reader.next(line)) {
    preview.before.push_back(line);
    pipeline.push(line, sink);
  }
  pipeline.finish(sink);
  preview.otherLineEnds = reader.sawOtherLineEnds();
  return preview;
}

Preview readChanges(const RunContext& run) {
  LineReader input(run.paths.inputPath, run.input, run.inputContents());
  LineReader output(committedOutput(run), run.output);
  return {readLines(input), readLines(output), input.sawOtherLineEnds()};
}

}  // namespace pellumar
