#pragma once

#include <ostream>

#include "processing/run/processing_run.h"

namespace pellumar::testing {

/// A way to run: staged, or the single pass, on one thread or, for a file of
/// any size, on threads.
struct RunWay {
  RunMode mode;
  bool threaded = false;
  const char* name;

  ProcessingRun runner(const Settings& settings, WindowSystem& window) const {
    ProcessingRun run(settings, window, mode);
    if (threaded) run.useThreadsFrom(0);
    return run;
  }
  bool singlePass() const { return mode == RunMode::SinglePass; }
};

inline std::ostream& operator<<(std::ostream& out, const RunWay& way) { return out << way.name; }

inline const RunWay kStaged{RunMode::Staged, false, "Staged"};
inline const RunWay kSinglePass{RunMode::SinglePass, false, "SinglePass"};
inline const RunWay kThreaded{RunMode::SinglePass, true, "Threaded"};
inline const RunWay kStagedThreaded{RunMode::Staged, true, "StagedThreaded"};

}  // namespace pellumar::testing
