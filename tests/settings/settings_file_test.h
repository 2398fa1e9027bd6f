#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "settings/settings_loader.h"
#include "tests/support/test_files.h"

namespace pellumar {

inline void PrintTo(const TextPair& pair, std::ostream* out) {
  *out << "(\"" << pair.from << "\", \"" << pair.to << "\")";
}

namespace testing {

/// Loads settings from bytes written to a lexmend.ini in a fresh folder.
class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsLoad loadBytes(const std::string& bytes) {
    writeBytes(path_, bytes);
    return loadSettings(path_);
  }

  // Loads bytes that must give settings.
  Settings loadOk(const std::string& bytes) {
    SettingsLoad result = loadBytes(bytes);
    EXPECT_TRUE(result.settings.has_value()) << result.error;
    EXPECT_EQ(result.error, "");
    Settings settings = result.settings.value_or(Settings{});
    EXPECT_FALSE(settings.legacyPages().empty());
    return settings;
  }

  TempDir dir_;
  const std::string path_ = dir_.file("lexmend.ini");
};

}  // namespace testing
}  // namespace pellumar
