#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace pellumar {
namespace {

namespace fs = std::filesystem;
using Places = std::vector<std::string>;

const std::string kInstalled = std::string(PELLUMAR_DATADIR) + "/pellumar/lexmend.ini";

// Sets, or with no value unsets, a variable for the test's life, then puts it back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    set(value);
  }
  ~ScopedEnv() { set(old_); }

 private:
  void set(const std::optional<std::string>& value) {
    value ? ::setenv(name_, value->c_str(), 1) : ::unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsLocationTest, ListsThePlacesBestFirst) {
  const struct {
    std::optional<std::string> xdgConfigHome, home;
    std::string executable;
    Places expected;
  } cases[] = {
      // Empty or relative XDG_CONFIG_HOME counts as unset.
      {"", "/h", "", {"lexmend.ini", "/h/.config/pellumar/lexmend.ini", kInstalled}},
      {"cfg", "/h", "", {"lexmend.ini", "/h/.config/pellumar/lexmend.ini", kInstalled}},
      {std::nullopt, std::nullopt, "", {"lexmend.ini", kInstalled}},
      // Installed where it was built for: the sample is listed once.
      {std::nullopt,
       std::nullopt,
       PELLUMAR_DATADIR "/../bin/pellumar",
       {"lexmend.ini", kInstalled}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.executable);
    const ScopedEnv xdg("XDG_CONFIG_HOME", c.xdgConfigHome);
    const ScopedEnv home("HOME", c.home);
    EXPECT_EQ(settingsSearchOrder(c.executable), c.expected);
  }
}

// The user's copy in $XDG_CONFIG_HOME comes after the working folder, the
// sample beside an installed program after that.
TEST(SettingsLocationTest, TheFirstExistingPlaceIsRead) {
  testing::TempDir root;
  const ScopedEnv xdg("XDG_CONFIG_HOME", root.file("config"));
  Places order = settingsSearchOrder(root.file("bin/pellumar"));
  // The sample installed on this machine, if any, must not decide the test.
  order.erase(std::remove(order.begin(), order.end(), kInstalled), order.end());
  ASSERT_EQ(order, (Places{"lexmend.ini", root.file("config/pellumar/lexmend.ini"),
                           root.file("share/pellumar/lexmend.ini")}));
  order.front() = root.file("work/lexmend.ini");
  for (const std::string& place : order) {
    fs::create_directories(fs::path(place).parent_path());
    testing::writeBytes(place, "");
  }
  for (const std::string& place : order) {
    EXPECT_EQ(firstSettingsFile(order), place);
    fs::remove(place);
  }
  EXPECT_EQ(firstSettingsFile(order), "lexmend.ini");
}

TEST(SettingsLocationTest, FindsItsOwnExecutable) {
  EXPECT_EQ(fs::path(currentExecutable()).filename(), "settings_tests");
}

}  // namespace
}  // namespace pellumar
