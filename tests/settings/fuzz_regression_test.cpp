// Every input the settings fuzzer found a fault with, and every seed,
// replayed through its checks (the other targets are replayed with the
// processing tests).

#include <gtest/gtest.h>

#define PELLUMAR_FUZZ_REPLAY
#include "fuzz/replay_inputs.h"
#include "fuzz/settings_loader.cpp"

namespace pellumar {
namespace {

TEST(FuzzRegression, SettingsLoaderReplaysFoundFaultsAndSeeds) {
  const auto inputs = fuzz::replayInputs("settings_loader");
  ASSERT_FALSE(inputs.empty());
  for (const auto& path : inputs) {
    const std::optional<std::string> bytes = fuzz::readFileIfPresent(path.string());
    ASSERT_TRUE(bytes) << path;
    EXPECT_NO_THROW(fuzz::settings_loader::run(reinterpret_cast<const std::uint8_t*>(bytes->data()),
                                               bytes->size()))
        << path;
  }
}

}  // namespace
}  // namespace pellumar
