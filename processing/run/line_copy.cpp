#include "processing/run/line_copy.h"

#include <unistd.h>

#include "processing/run/skip_log_file.h"
#include "processing/run/staging_file.h"
#include "processing/text/line_reader.h"

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

FileDescriptor commitStaging(StagingFile& staging) { return staging.commit(); }

void copyThroughStage(RunContext& run, const std::string& source, LineStage& stage,
                      SkipLogFile* log) {
  // Open the source first: when it cannot be read, no staging file is made.
  // Only the first pass reads the chosen file; the others read what this run
  // wrote, in the output's encoding.
  const bool chosen = source == run.paths.inputPath;
  LineReader reader(source, chosen ? run.input : run.output,
                    chosen ? run.inputContents() : nullptr);
  StagingFile staging(run.paths.stagingPath, run.paths.outputPath, run.output);
  WriterSink sink(staging.writer());
  std::string line;
  while (reader.next(line)) stage.push(line, sink);
  stage.finish(sink);
  staging.writer().close();
  if (log) log->close();
  run.committed = commitStaging(staging);
}

std::string committedOutput(const RunContext& run) {
  if (run.committed) {
    std::string own = reopenPath(run.committed);
    if (::access(own.c_str(), R_OK) == 0) return own;
  }
  return run.paths.outputPath;
}

void rewriteOutput(RunContext& run, LineStage& stage, SkipLogFile* log) {
  copyThroughStage(run, committedOutput(run), stage, log);
}

}  // namespace pellumar
