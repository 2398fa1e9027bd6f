#include "processing/staged_copy.h"

#include "processing/file_ops.h"
#include "processing/line_reader.h"
#include "processing/staging_file.h"

namespace pellumar {

namespace {

class WriterSink : public LineSink {
 public:
  explicit WriterSink(LineWriter& writer) : writer_(writer) {}
  void put(std::string& line) override { writer_.writeLine(line); }

 private:
  LineWriter& writer_;
};

}  // namespace

void commitStaging(StagingFile& staging, const JobPaths& paths) {
  staging.commit();
  setNormalAttributes(paths.outputPath);
}

void copyThroughStage(RunContext& run, const std::string& source, LineStage& stage) {
  // Open the source first: when it cannot be read, no staging file is made.
  LineReader reader(source, run.encoding);
  StagingFile staging(run.paths.stagingPath, run.paths.outputPath, run.encoding);
  WriterSink sink(staging.writer());
  std::string line;
  while (reader.next(line)) stage.push(line, sink);
  stage.finish(sink);
  commitStaging(staging, run.paths);
}

void rewriteOutput(RunContext& run, LineStage& stage) {
  copyThroughStage(run, run.paths.outputPath, stage);
}

}  // namespace pellumar
