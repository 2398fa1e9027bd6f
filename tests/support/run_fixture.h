#pragma once

#include <string>

#include "processing/job_paths.h"
#include "processing/run_context.h"
#include "processing/settings.h"
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

}  // namespace pellumar::testing
