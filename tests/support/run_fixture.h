#pragma once

#include <stdexcept>
#include <string>

#include "processing/run/job_paths.h"
#include "processing/passes/pass_table.h"
#include "processing/run/run_context.h"
#include "processing/run/settings.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/test_files.h"

namespace pellumar::testing {

/// A run on the file `name` in a fresh folder, with the default settings, a
/// recording window and UTF-8 text; the test writes the files it needs.
struct RunFixture {
  explicit RunFixture(const std::string& name)
      : run{.settings = settings,
            .window = window,
            .paths = deriveJobPaths(dir.file(name), settings.nameSuffix),
            .encoding = TextEncoding::utf8(),
            .kind = {}} {}

  TempDir dir;
  Settings settings;
  FakeWindowSystem window;
  RunContext run;
};

/// The entry of the pass ticked by `option`, to run it on its own.
inline const Pass& passOf(Option option) {
  for (const Pass& pass : passTable())
    if (pass.option == option) return pass;
  throw std::logic_error("no pass for this option");
}

}  // namespace pellumar::testing
