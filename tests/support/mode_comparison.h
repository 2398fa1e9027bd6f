#pragma once

// One file cleaned both ways, staged and in a single pass, each in a folder
// of its own, and what must not differ between them; the processing_run
// fuzz target checks it on any input, the differential test on every set of
// passes.

#include <filesystem>
#include <optional>

#include "processing/run/processing_run.h"
#include "tests/support/test_files.h"

namespace pellumar::testing {

inline const std::string kEarlierOutput = "earlier output\r\n", kEarlierLog = "earlier log\r\n";

/// Bit i asks for pass i of the pass table.
inline PassSet passesFrom(unsigned bits) {
  PassSet passes;
  for (const Pass& pass : passTable()) passes.set(pass.id, (bits >> int(pass.id) & 1) != 0);
  return passes;
}

/// The name of a test run in `info.param`'s mode.
template <typename Info>
std::string modeName(const Info& info) {
  return info.param == RunMode::Staged ? "Staged" : "SinglePass";
}

inline std::optional<std::string> readIfFile(const std::string& path) {
  if (!std::filesystem::is_regular_file(path)) return std::nullopt;
  return readBytes(path);
}

/// What a run said and left, as text, and the promises of every run it broke.
struct ModeRun {
  RunOutcome outcome;
  std::optional<std::string> output, log;
  std::string all{}, broken{};
};

/// Cleans the file `name` holding `bytes` in a fresh `folder`; with
/// `leftovers`, an earlier run's output and log stand there first. The
/// folder's name is left out of the texts.
inline ModeRun runIn(const std::filesystem::path& folder, const std::string& name,
                     const std::string& bytes, const Settings& settings, PassSet passes,
                     bool leftovers, RunMode mode) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string chosen = (folder / name).string();
  writeBytes(chosen, bytes);
  const JobPaths paths = deriveJobPaths(chosen, settings.nameSuffix);
  if (leftovers) writeBytes(paths.outputPath, kEarlierOutput);
  if (leftovers) writeBytes(paths.logPath, kEarlierLog);
  ModeRun run{clean({settings, chosen, passes, mode}), readIfFile(paths.outputPath),
              readIfFile(paths.logPath)};
  const RunOutcome& outcome = run.outcome;
  run.all = std::to_string(int(outcome.ending)) + (outcome.readAs ? outcome.readAs->name() : "") +
            "\n" + outcome.failure.value_or("") + "\n";
  for (const std::string& note : outcome.notes) run.all += note + "\n";
  for (std::size_t at; (at = run.all.find(folder.string())) != std::string::npos;)
    run.all.replace(at, folder.string().size(), "<folder>");
  const std::string files = listFolder(folder);
  run.all +=
      run.output.value_or("(no output)") + "\n" + run.log.value_or("(no log)") + "\n" + files;
  if (readIfFile(chosen) != bytes) run.broken += "the chosen file changed; ";
  if (files.find(".tmp") != std::string::npos) run.broken += "a staging file stayed; ";
  if (outcome.failure.has_value() != (outcome.ending == RunOutcome::Ending::Failed) ||
      outcome.cleaned() != (outcome.output == paths.outputPath && run.output) ||
      (outcome.skipped > 0) != (outcome.log == paths.logPath && run.log))
    run.broken += "the outcome does not tell what the run did; ";
  return run;
}

/// Empty when the two ways agree: on everything, unless a failure leaves the
/// single pass's earlier files (kFailurePolicy) while the staged run keeps
/// the passes it finished. The single pass runs staged where it could not
/// end alike, and then leaves what the staged run does.
inline std::string differenceBetweenModes(const std::filesystem::path& root,
                                          const std::string& name, const std::string& bytes,
                                          const Settings& settings, PassSet passes,
                                          bool leftovers) {
  const ModeRun staged =
      runIn(root / "s", name, bytes, settings, passes, leftovers, RunMode::Staged);
  const ModeRun single =
      runIn(root / "1", name, bytes, settings, passes, leftovers, RunMode::SinglePass);
  std::string found = staged.broken + single.broken;
  // Of the ways to fail, the single pass leaves its last finished pass only
  // after an overlong block (see kFailurePolicy).
  const auto kindOf = [](const ModeRun& run) {
    return run.outcome.failure->starts_with("Cannot buffer more than") ? FailureKind::OverlongBlock
                                                                       : FailureKind::FileOperation;
  };
  const auto earlier = [&](const std::string& text) {
    return leftovers ? std::optional(text) : std::nullopt;
  };
  if (staged.outcome.ending != single.outcome.ending) {
    found += "the endings differ";
  } else if (!staged.outcome.failure || whatFailureLeaves(kindOf(staged), RunMode::SinglePass) ==
                                            FailureLeaves::LastFinishedPass) {
    if (staged.all != single.all) found += "they differ";
  } else {
    // Not the same message: the staged run may fail in an earlier pass but later in the file.
    if (kindOf(single) != kindOf(staged)) found += "they fail in different ways; ";
    if (single.output != earlier(kEarlierOutput) && single.output != staged.output)
      found += "the single pass changed the output; ";
    if (single.log != earlier(kEarlierLog) && single.log != staged.log)
      found += "the single pass changed the log";
  }
  if (found.empty()) return found;
  return found + "\n--- staged:\n" + staged.all + "\n--- single pass:\n" + single.all;
}

}  // namespace pellumar::testing
