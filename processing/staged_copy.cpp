#include "processing/staged_copy.h"

#include <unistd.h>

#include <optional>

#include "processing/file_ops.h"
#include "processing/hand_off_sink.h"
#include "processing/line_reader.h"
#include "processing/pipeline.h"
#include "processing/skip_log_file.h"
#include "processing/staging_file.h"
#include "processing/utf8_check.h"

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

namespace {

// Lines go to the second thread in batches of this much text.
constexpr std::size_t kHandOffBatchBytes = std::size_t{1} << 16;

// Reads `source`, in `encoding` (the run's but for its check of UTF-8),
// into a staging file through what `copy` does with each line and commits
// it.
template <typename Copy>
void copyInto(RunContext& run, const std::string& source, const TextEncoding& encoding,
              SkipLogFile* log, Copy copy) {
  // Open the source first: when it cannot be read, no staging file is made.
  LineReader reader(source, encoding,
                    source == run.paths.inputPath ? run.inputContents() : nullptr);
  StagingFile staging(run.paths.stagingPath, run.paths.outputPath, run.encoding);
  WriterSink sink(staging.writer());
  copy(reader, sink);
  staging.writer().close();
  if (log) log->close();
  run.committed = commitStaging(staging);
}

}  // namespace

void copyThroughStage(RunContext& run, const std::string& source, LineStage& stage,
                      SkipLogFile* log, LineStage* copy) {
  if (copy) {
    Pipeline nothingAfter;
    copyThroughStages(run, source, stage, nothingAfter, log, copy);
    return;
  }
  copyInto(run, source, run.encoding, log, [&](LineReader& reader, LineSink& sink) {
    std::string line;
    while (reader.next(line)) stage.push(line, sink);
    stage.finish(sink);
  });
}

void copyThroughStages(RunContext& run, const std::string& source, LineStage& front,
                       LineStage& back, SkipLogFile* log, LineStage* frontCopy) {
  // The check of a file that is to prove UTF-8 as it is read goes to a
  // thread of its own as well. Whatever failed first, a run that was
  // checking UTF-8 looks at the whole file again (see ProcessingRun).
  std::optional<Utf8Check> check;
  TextEncoding encoding = run.encoding;
  if (encoding.checkWhileReading) {
    check.emplace(source);
    encoding.checkWhileReading = false;
  }
  copyInto(run, source, encoding, log, [&](LineReader& reader, LineSink& sink) {
    HandOffSink handOff(back, sink, kHandOffBatchBytes, frontCopy);
    try {
      std::string line;
      while (reader.next(line)) {
        if (check && check->failed()) throw NotUtf8();
        if (handOff.takesUnprocessed()) {
          handOff.put(line);
        } else {
          front.push(line, handOff);
        }
      }
      front.finish(handOff);
    } catch (...) {
      handOff.abandon(std::current_exception());
    }
    handOff.finish();
    if (check && !check->passed()) throw NotUtf8();
  });
}

void rewriteOutput(RunContext& run, LineStage& stage, SkipLogFile* log, LineStage* copy) {
  // What this run committed last, even if another run on the same file has
  // put its own output in place since; the name only where /proc is missing.
  std::string source = run.paths.outputPath;
  if (run.committed) {
    std::string own = reopenPath(run.committed);
    if (::access(own.c_str(), R_OK) == 0) source = std::move(own);
  }
  copyThroughStage(run, source, stage, log, copy);
}

}  // namespace pellumar
