// What the staged run's file protocol costs with every option ticked, without
// any text work: the encoding check of FILE, then seven line copies through
// the core's staging file and commit (pass A from FILE; B, C, both steps of D,
// E and F rewriting the output), and before E and F a full line read of FILE
// as kind detection does. Every stage passes its lines on unchanged. With
// --threads, the copies of A and B go through two threads taking turns at
// the lines, as the staged run's copies do for a large file.
//
//   bare_staged_copy [--threads] FILE...

#include <cstdio>
#include <exception>
#include <string>

#include "processing/text/code_page.h"
#include "processing/run/job_paths.h"
#include "processing/text/line_reader.h"
#include "processing/passes/line_stage.h"
#include "processing/run/run_context.h"
#include "processing/run/settings.h"
#include "processing/run/staged_copy.h"
#include "processing/text/text_encoding.h"
#include "processing/window_system.h"

namespace pellumar {
namespace {

class NoWindow : public WindowSystem {
 public:
  void showMessage(const std::string&, MessageIcon, const std::optional<std::string>&) override {}
  std::string chooseFile(const std::string&, const std::string&) override { return {}; }
  bool isTicked(Option) override { return true; }
  void setOpenButtonEnabled(bool) override {}
};

class Unchanged : public LineStage {
 public:
  void push(std::string& line, LineSink& out) override { out.put(line); }
  bool changesLinesAlone() const override { return true; }
};

// Kind detection's reading, without its tests.
void readAllLines(const std::string& path, const TextEncoding& encoding) {
  LineReader reader(path, encoding);
  std::string line;
  while (reader.next(line)) {
  }
}

void bareStagedRun(const std::string& file, const Settings& settings, bool threads) {
  NoWindow window;
  RunContext run{settings, window, deriveJobPaths(file, settings.nameSuffix), {}, {}};
  run.encoding = detectFileEncoding(file, CodePage::defaultPage());
  Unchanged stage, copy;
  LineStage* const shared = threads ? &copy : nullptr;
  copyThroughStage(run, file, stage, nullptr, shared);  // A
  rewriteOutput(run, stage, nullptr, shared);           // B
  rewriteOutput(run, stage);                            // C
  rewriteOutput(run, stage);                            // D, spaces before punctuation
  rewriteOutput(run, stage);                            // D, spaces after hyphens
  readAllLines(file, run.encoding);                     // the kind detection, for E and F
  rewriteOutput(run, stage);                            // E
  rewriteOutput(run, stage);                            // F
}

}  // namespace
}  // namespace pellumar

int main(int argc, char** argv) {
  const pellumar::Settings settings;
  try {
    const bool threads = argc > 1 && std::string(argv[1]) == "--threads";
    for (int i = threads ? 2 : 1; i < argc; ++i)
      pellumar::bareStagedRun(argv[i], settings, threads);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bare_staged_copy: %s\n", error.what());
    return 1;
  }
  return 0;
}
