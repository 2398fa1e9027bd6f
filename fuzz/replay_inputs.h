#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace pellumar::fuzz {

/// The inputs the regression tests replay through a target: every fault the
/// fuzzers found (tests/fuzz_regressions/<target>/) and every seed
/// (fuzz/corpus/<target>/), in a fixed order.
inline std::vector<std::filesystem::path> replayInputs(const std::string& target) {
  const std::filesystem::path root = std::filesystem::path(__FILE__).parent_path().parent_path();
  std::vector<std::filesystem::path> inputs;
  for (const char* folder : {"tests/fuzz_regressions", "fuzz/corpus"}) {
    const std::filesystem::path dir = root / folder / target;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace pellumar::fuzz
