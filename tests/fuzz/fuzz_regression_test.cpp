// Every input a fuzzer found a fault with, and every seed, replayed through
// that fuzz target's own checks, so that a fixed fault stays fixed.

#include <gtest/gtest.h>

// The targets' sources, without their libFuzzer entry points; a broken
// property throws instead of aborting.
#define PELLUMAR_FUZZ_REPLAY
#include "fuzz/block_blank_stage.cpp"
#include "fuzz/frame_blank_stage.cpp"
#include "fuzz/line_files.cpp"
#include "fuzz/local_chars.cpp"
#include "fuzz/processing_run.cpp"
#include "fuzz/replace_strings.cpp"
#include "fuzz/replay_inputs.h"
#include "fuzz/settings_loader.cpp"
#include "fuzz/spaces_after_hyphens.cpp"
#include "fuzz/spaces_before_punctuation.cpp"
#include "fuzz/srt_blank_line_stage.cpp"
#include "fuzz/strip_formatting_codes.cpp"
#include "fuzz/subtitle_kind.cpp"

namespace pellumar {
namespace {

struct Target {
  const char* name;
  int (*run)(const std::uint8_t*, std::size_t);
};

#define TARGET(name) \
  Target { #name, fuzz::name::run }
const Target kTargets[] = {
    TARGET(block_blank_stage),    TARGET(frame_blank_stage),      TARGET(line_files),
    TARGET(local_chars),          TARGET(processing_run),         TARGET(replace_strings),
    TARGET(settings_loader),      TARGET(spaces_after_hyphens),   TARGET(spaces_before_punctuation),
    TARGET(srt_blank_line_stage), TARGET(strip_formatting_codes), TARGET(subtitle_kind)};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

class FuzzRegression : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzRegression, ReplaysFoundFaultsAndSeeds) {
  const auto inputs = fuzz::replayInputs(GetParam().name);
  ASSERT_FALSE(inputs.empty()) << "no seeds for " << GetParam().name;
  for (const auto& path : inputs) {
    const std::optional<std::string> bytes = fuzz::readFileIfPresent(path.string());
    ASSERT_TRUE(bytes) << path;
    EXPECT_NO_THROW(
        GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()))
        << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression, ::testing::ValuesIn(kTargets),
                         [](const auto& target) { return std::string(target.param.name); });

}  // namespace
}  // namespace pellumar
