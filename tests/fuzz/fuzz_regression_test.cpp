// Every input a fuzzer found a fault with, and every seed, replayed through
// that fuzz target's own checks, so that a fixed fault stays fixed; then each
// with bytes changed at random, a short fuzzing run on every test run.

#include <gtest/gtest.h>

#include "tests/support/random.h"

// The targets' sources, without their libFuzzer entry points; a broken
// property throws instead of aborting.
#define PELLUMAR_FUZZ_REPLAY
#include "fuzz/line_files.cpp"
#include "fuzz/line_stages.cpp"
#include "fuzz/processing_run.cpp"
#include "fuzz/settings_loader.cpp"

namespace pellumar {
namespace {

struct Target {
  const char* name;
  int (*run)(const std::uint8_t*, std::size_t);
};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

class FuzzRegression : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzRegression, ReplaysFoundFaultsAndSeeds) {
  const auto root = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  std::vector<std::filesystem::path> inputs;
  for (const char* folder : {"tests/fuzz_regressions/", "fuzz/corpus/"}) {
    std::error_code none;  // a target may have no found faults
    for (const auto& entry :
         std::filesystem::directory_iterator(root / folder / GetParam().name, none))
      inputs.push_back(entry.path());
  }
  ASSERT_FALSE(inputs.empty());
  testing::Random random(1);
  for (const auto& path : inputs) {
    std::string bytes = testing::readBytes(path);
    for (int round = 0; round < 20 && !HasFailure(); ++round) {
      EXPECT_NO_THROW(
          GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
          << path << (round > 0 ? " changed at random: " : "") << ::testing::PrintToString(bytes);
      // A byte put in, or one changed.
      const std::size_t at = random.below(bytes.size() + 1);
      bytes.insert(at, 1, static_cast<char>(random.below(256)));
      if (random.percent(70)) bytes.erase(at + 1, 1);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression,
                         ::testing::Values(Target{"line_files", fuzz::line_files::run},
                                           Target{"line_stages", fuzz::line_stages::run},
                                           Target{"processing_run", fuzz::processing_run::run},
                                           Target{"settings_loader", fuzz::settings_loader::run}),
                         [](const auto& target) { return std::string(target.param.name); });

}  // namespace
}  // namespace pellumar
