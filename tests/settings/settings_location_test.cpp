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
using testing::TempDir;
using testing::writeBytes;

const std::string kInstalled = std::string(PELLUMAR_DATADIR) + "/pellumar/lexmend.ini";

// Sets or unsets a variable for the test's life, then puts it back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    set(value);
  }
  ~ScopedEnv() { set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

struct OrderCase {
  std::optional<std::string> xdgConfigHome;
  std::optional<std::string> home;
  std::string executable;
  std::vector<std::string> expected;
};

class SettingsSearchOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SettingsSearchOrderTest, ListsThePlacesBestFirst) {
  const ScopedEnv xdg("XDG_CONFIG_HOME", GetParam().xdgConfigHome);
  const ScopedEnv home("HOME", GetParam().home);
  EXPECT_EQ(settingsSearchOrder(GetParam().executable), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, SettingsSearchOrderTest,
    ::testing::Values(
        OrderCase{"/x/cfg",
                  "/h",
                  "/opt/p/bin/pellumar",
                  {"lexmend.ini", "/x/cfg/pellumar/lexmend.ini",
                   "/opt/p/share/pellumar/lexmend.ini", kInstalled}},
        // Empty or relative XDG_CONFIG_HOME counts as unset.
        OrderCase{"", "/h", "", {"lexmend.ini", "/h/.config/pellumar/lexmend.ini", kInstalled}},
        OrderCase{"cfg", "/h", "", {"lexmend.ini", "/h/.config/pellumar/lexmend.ini", kInstalled}},
        OrderCase{std::nullopt, std::nullopt, "", {"lexmend.ini", kInstalled}},
        // Installed where it was built for: the sample is listed once.
        OrderCase{std::nullopt,
                  std::nullopt,
                  std::string(PELLUMAR_DATADIR) + "/../bin/pellumar",
                  {"lexmend.ini", kInstalled}}));

// Which of the three folders hold a lexmend.ini, and which one is read.
struct PrecedenceCase {
  bool inWorkingFolder;
  bool inConfigHome;
  bool installed;
  std::string expected;  // "work", "config", "installed" or "none"
};

class SettingsPrecedenceTest : public ::testing::TestWithParam<PrecedenceCase> {};

TEST_P(SettingsPrecedenceTest, TheFirstExistingPlaceWins) {
  TempDir root;
  const fs::path work = root.path() / "work";
  const fs::path config = root.path() / "config";
  const fs::path prefix = root.path() / "prefix";
  for (const fs::path& folder : {work, config / "pellumar", prefix / "share/pellumar"}) {
    fs::create_directories(folder);
  }
  const std::string places[] = {(work / "lexmend.ini").string(),
                                (config / "pellumar/lexmend.ini").string(),
                                (prefix / "share/pellumar/lexmend.ini").string()};
  const bool present[] = {GetParam().inWorkingFolder, GetParam().inConfigHome,
                          GetParam().installed};
  for (int i = 0; i < 3; ++i) {
    if (present[i]) writeBytes(places[i], "");
  }
  const ScopedEnv xdg("XDG_CONFIG_HOME", config.string());
  const fs::path before = fs::current_path();
  fs::current_path(work);

  std::vector<std::string> order = settingsSearchOrder((prefix / "bin/pellumar").string());
  // The sample installed on this machine, if any, must not decide the test.
  order.erase(std::remove(order.begin(), order.end(), kInstalled), order.end());
  const std::string found = firstSettingsFile(order);
  fs::current_path(before);

  const std::string expected = GetParam().expected;
  if (expected == "work" || expected == "none") {
    EXPECT_EQ(found, "lexmend.ini");
  } else {
    EXPECT_EQ(found, expected == "config" ? places[1] : places[2]);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsPrecedenceTest,
                         ::testing::Values(PrecedenceCase{true, true, true, "work"},
                                           PrecedenceCase{false, true, true, "config"},
                                           PrecedenceCase{false, false, true, "installed"},
                                           PrecedenceCase{true, false, true, "work"},
                                           PrecedenceCase{false, false, false, "none"}));

TEST(SettingsLocationTest, FindsItsOwnExecutable) {
  EXPECT_EQ(fs::path(currentExecutable()).filename(), "settings_tests");
}

}  // namespace
}  // namespace pellumar
