#include "processing/run/single_pass.h"

#include <sys/stat.h>

#include <array>
#include <optional>

#include "processing/passes/blank_subtitles.h"
#include "processing/passes/pipeline.h"
#include "processing/run/line_copy.h"
#include "processing/run/processing_run.h"
#include "processing/run/run_steps.h"
#include "processing/text/line_writer.h"
#include "processing/text/utf8.h"

namespace pellumar {

namespace {

// In the staged run a pass that writes a character the output's encoding
// cannot hold fails there, even when a later pass would have removed it. The
// single pass checks the line after such a pass and fails the same way.
class OutputCheck : public LineStage {
 public:
  OutputCheck(const TextEncoding& output, const std::string& outputPath)
      : output_(output), outputPath_(outputPath) {}
  void push(std::string& line, LineSink& out) override {
    ++lineNumber_;
    if (auto bad = firstUnholdable(line, output_, bytes_)) {
      throw RunFailure(cannotHoldMessage(outputPath_, lineNumber_, *bad, output_));
    }
    out.put(line);
  }

 private:
  const TextEncoding& output_;
  const std::string& outputPath_;
  std::string bytes_;
  std::size_t lineNumber_ = 0;
};

// True when the output may not hold what the pass writes: a to-text of its
// table, or, for the first pass, which every run makes, the chosen file's
// own text when the output is in another encoding.
bool mayWriteWhatTheOutputCannotHold(const RunContext& run, const Pass& pass) {
  if (&pass == &passTable().front() && run.output.convertsText) return true;
  if (!pass.writes) return false;
  std::string bytes;
  for (const TextPair& entry : run.tables.*pass.writes) {
    if (firstUnholdable(entry.to, run.output, bytes)) return true;
  }
  return false;
}

}  // namespace

Pipeline composePasses(const RunContext& run, const PassKinds& kinds, std::size_t begin,
                       std::size_t end, SkipLog* log) {
  Pipeline pipeline;
  for (std::size_t i = begin; i < end; ++i) {
    const Pass& pass = passTable()[i];
    if (kinds[i]) {
      for (auto& stage : pass.stages({run.tables, *kinds[i], log})) {
        pipeline.add(std::move(stage));
      }
    }
    if ((kinds[i] || i == 0) && mayWriteWhatTheOutputCannotHold(run, pass)) {
      pipeline.add(std::make_unique<OutputCheck>(run.output, run.paths.outputPath));
    }
  }
  return pipeline;
}

PassKinds kindsOfAskedPasses(RunContext& run) {
  PassKinds kinds;
  const auto passes = passTable();
  for (std::size_t i = 0; i < passes.size(); ++i) {
    if (run.passes.contains(passes[i].id)) kinds[i] = kindToWorkOn(run, passes[i]);
  }
  return kinds;
}

namespace {

// The staged run writes every pass's lines and reads them back; the single
// pass hands them on as they are. Reading back gives the same text unless it
// holds a line break or a character the encoding does not carry unchanged.
bool readsBackUnchanged(std::string_view text, const TextEncoding& encoding) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  std::string unused;
  // What the output cannot hold fails both runs alike.
  if (encoding.form != TextEncoding::Form::Legacy && firstUnholdable(text, encoding, unused)) {
    return true;
  }
  switch (encoding.form) {
    case TextEncoding::Form::Utf8:
      return true;
    case TextEncoding::Form::Utf16Le:
    case TextEncoding::Form::Utf16Be:
      // Lone surrogates side by side would pair up.
      return isValidUtf8(text);
    case TextEncoding::Form::Utf32Le:
    case TextEncoding::Form::Utf32Be:
      // Every character, a lone surrogate too, is one unit of its own.
      return isValidUtf8(text);
    case TextEncoding::Form::Legacy: {
      std::string bytes, back;
      // A character the page cannot hold fails both runs alike (see
      // OutputCheck); only a character that comes back changed differs.
      if (encoding.codePage->encode(text, bytes, !encoding.convertsText)) return true;
      encoding.codePage->decode(bytes, back);
      return back == text;
    }
  }
  return false;
}

// A pass writes only characters of the chosen file and of its table's
// to-texts; the staged run reads them back in the output's encoding.
bool passesWriteOnlyWhatReadsBack(const RunContext& run) {
  const TextEncoding& encoding = run.output;
  if (run.input.form == TextEncoding::Form::Legacy) {
    std::string decoded;
    for (int b = 0; b < 256; ++b) {
      // CR and LF end lines; they never stand inside one.
      if (b == '\r' || b == '\n') continue;
      decoded.clear();
      run.input.codePage->decode(std::string(1, static_cast<char>(b)), decoded);
      if (!readsBackUnchanged(decoded, encoding)) return false;
    }
  }
  for (const Pass& pass : passTable()) {
    if (!pass.writes || !run.passes.contains(pass.id)) continue;
    for (const TextPair& entry : run.tables.*pass.writes) {
      if (!readsBackUnchanged(entry.to, encoding)) return false;
    }
  }
  return true;
}

}  // namespace

void runSinglePass(RunContext& run) {
  // Passes not asked for copy unchanged at most, which the one read does anyway.
  const PassKinds kinds = kindsOfAskedPasses(run);
  const auto passes = passTable();
  bool keepsLog = false;
  for (std::size_t i = 0; i < passes.size(); ++i) {
    keepsLog = keepsLog || (kinds[i] && passes[i].keepsSkipLog);
  }
  withSkipLog(run, keepsLog, [&](SkipLogFile* log) {
    try {
      Pipeline pipeline = composePasses(run, kinds, 0, passes.size(), log);
      copyThroughStage(run, run.paths.inputPath, pipeline, log);
    } catch (const OverlongBlock&) {
      if (whatFailureLeaves(FailureKind::OverlongBlock, RunMode::SinglePass) ==
          FailureLeaves::LastFinishedPass) {
        std::size_t stopped = 0;
        while (!(kinds[stopped] && passes[stopped].mayStopOnOverlong)) ++stopped;
        Pipeline earlier = composePasses(run, kinds, 0, stopped, nullptr);
        copyThroughStage(run, run.paths.inputPath, earlier);
      }
      throw;
    }
  });
}

bool singlePassMatchesStaged(const RunContext& run) {
  const auto form = run.input.form;
  const bool utf16 = form == TextEncoding::Form::Utf16Le || form == TextEncoding::Form::Utf16Be;
  const bool utf32 = form == TextEncoding::Form::Utf32Le || form == TextEncoding::Form::Utf32Be;
  if (utf16 || utf32) {
    struct stat info {};
    if (::stat(run.paths.inputPath.c_str(), &info) != 0 || info.st_size % (utf32 ? 4 : 2) != 0) {
      return false;
    }
  }
  return passesWriteOnlyWhatReadsBack(run);
}

}  // namespace pellumar
