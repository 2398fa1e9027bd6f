#include "settings/settings_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/settings/settings_file_test.h"

namespace pellumar {
namespace {

using testing::TempDir;
using testing::writeBytes;
using Pairs = std::vector<TextPair>;
using Lines = std::vector<std::string>;

std::string crLfLines(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Entries k1=v1 … kN=vN, one a line.
Lines entries(int count, const std::string& prefix = "k") {
  Lines lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(prefix + std::to_string(i) + "=v" + std::to_string(i));
  }
  return lines;
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class SettingsLinesTest : public testing::SettingsFileTest {
 protected:
  Settings load(const Lines& lines) { return loadOk(crLfLines(lines)); }
};

struct RuleCase {
  const char* name;
  Lines lines;
  Pairs localChars;
  Pairs replacements;
  std::string suffix = "_PL";
};

const RuleCase kRuleCases[] = {
    {"EmptyFile", {}, {}, {}},
    {"CommentsOnly", {"; a", ";NAMESUFIXADD=_x", ";[RSTRINGS]", ";=y"}, {}, {}},
    {"HeaderInSmallLetters", {"[local_char]", "x=y"}, {{"x", "y"}}, {}},
    {"HeaderFollowedByMoreText", {"[Local_Char] more text", "x=y"}, {{"x", "y"}}, {}},
    {"ReplacementHeaderInMixedCase", {"[RStrings]", "x=y"}, {}, {{"x", "y"}}},
    {"RestOfHeaderLineIgnored", {"k=v", "[RSTRINGS]=ignored", "=y"}, {}, {{"k", "y"}}},
    {"LocalCharsIsNotAHeader", {"[LOCAL_CHAR]", "a=b", "[LOCAL_CHARS]", "x=y"}, {{"a", "b"}}, {}},
    {"SpaceBeforeHeaderMakesAnEntry",
     {"[RSTRINGS]", "a=b", " [RSTRINGS]", "x=y"},
     {},
     {{"a", "b"}, {"a", " [RSTRINGS]"}, {"x", "y"}}},
    {"SecondHeaderSwitchesSection",
     {"[RSTRINGS]", "a=b", "[LOCAL_CHAR]", "c=d"},
     {{"c", "d"}},
     {{"a", "b"}}},
    {"OtherBracketLineEndsSection",
     {"[RSTRINGS]", "a=b", "[OPTIONS]", "c=d", "[RSTRINGS]", "e=f"},
     {},
     {{"a", "b"}, {"e", "f"}}},
    {"EofInCapitalsEndsNothing",
     {"[RSTRINGS]", "a=b", "[EOF]", "c=d"},
     {},
     {{"a", "b"}, {"c", "d"}}},
    {"EofLineSetsNoKey", {"[RSTRINGS]", "a=b", "[EOF]k=v", "=c"}, {}, {{"a", "b"}, {"a", "c"}}},
    {"EofInSmallLettersEndsSection", {"[RSTRINGS]", "a=b", "[eof]", "c=d"}, {}, {{"a", "b"}}},
    {"CommentAndEmptyLineInsideSection",
     {"[RSTRINGS]", "k=v", ";x=y", "", "=z"},
     {},
     {{"k", "v"}, {"k", "z"}}},
    {"LineOfSpacesIsAnEntry", {"[RSTRINGS]", "k=v", "   "}, {}, {{"k", "v"}, {"k", "   "}}},
    {"KeyCarriedIntoSection", {"k=v", "[RSTRINGS]", "=x", "yz"}, {}, {{"k", "x"}, {"k", "yz"}}},
    {"KeyCarriedAcrossSections",
     {"[LOCAL_CHAR]", "k=v", "[RSTRINGS]", "=x"},
     {{"k", "v"}},
     {{"k", "x"}}},
    {"BracketLineSetsKey", {"[OPT]=1", "[RSTRINGS]", "=2"}, {}, {{"[OPT]", "2"}}},
    {"NoKeyYetGivesEmptyFrom", {"[RSTRINGS]", "xyz", "=w"}, {}, {{"", "xyz"}, {"", "w"}}},
    {"SplitAtTheFirstEquals",
     {"[RSTRINGS]", "a=b=c", "x=", "=", "=="},
     {},
     {{"a", "b=c"}, {"x", ""}, {"x", ""}, {"x", "="}}},
    {"PairsKeptAsRead",
     {"[LOCAL_CHAR]", " A = b ", "A=b", "A=b", "ab=CD"},
     {{" A ", " b "}, {"A", "b"}, {"A", "b"}, {"ab", "CD"}},
     {}},
    {"EntriesOutsideSectionsGoNowhere", {"a=b", "[OPTIONS]", "c=d"}, {}, {}},
    {"HeaderUpperCasingIsAsciiOnly", {"[R\xC5\xBFtrings]", "x=y"}, {}, {}},
    {"SuffixKeyInsideReplacementSection",
     {"[RSTRINGS]", "NAMESUFIXADD=_x"},
     {},
     {{"NAMESUFIXADD", "_x"}},
     "_x"},
    {"SuffixKeyInsideLocalCharSection",
     {"[LOCAL_CHAR]", "namesufixadd=_x"},
     {{"namesufixadd", "_x"}},
     {},
     "_x"},
};

class SettingsRuleTest : public SettingsLinesTest,
                         public ::testing::WithParamInterface<RuleCase> {};

TEST_P(SettingsRuleTest, FillsTablesAndSuffix) {
  const RuleCase& c = GetParam();
  const Settings settings = load(c.lines);
  EXPECT_EQ(settings.localChars, c.localChars);
  EXPECT_EQ(settings.replacements, c.replacements);
  EXPECT_EQ(settings.nameSuffix, c.suffix);
}

INSTANTIATE_TEST_SUITE_P(Lines, SettingsRuleTest, ::testing::ValuesIn(kRuleCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

struct SuffixCase {
  Lines lines;
  std::string suffix;
};

TEST_F(SettingsLinesTest, NameSuffix) {
  const SuffixCase cases[] = {
      {{"NAMESUFIXADD=_fixed"}, "_fixed"},
      {{"namesufixadd=_x"}, "_x"},
      {{" NAMESUFIXADD=_x"}, "_PL"},
      {{"NAMESUFIXADD =_x"}, "_PL"},
      {{"NAMESUFIXADD= _x "}, " _x "},
      {{"NAMESUFIXADD=_a=b"}, "_a=b"},
      {{"[OPTIONS]", "NAMESUFIXADD=_o"}, "_o"},
      {{"NAMESUFIXADD=_x", "NAMESUFIXADD=_y"}, "_y"},
      {{"NAMESUFIXADD="}, "_PL"},
      {{"NAMESUFIXADD=_x", "NAMESUFIXADD="}, "_PL"},
      {{"NAMESUFIXADD=_fix", "[OPTIONS]"}, "[OPTIONS]"},
      {{"NAMESUFIXADD=_fix", "=_y"}, "_y"},
      {{"NAMESUFIXADD=_fix", "[EOF]"}, "_fix"},
      // A dotless i upper-cases to I under Unicode rules, but not here.
      {{"namesuf\xC4\xB1xadd=_x"}, "_PL"},
  };
  for (const SuffixCase& c : cases) {
    SCOPED_TRACE(crLfLines(c.lines));
    EXPECT_EQ(load(c.lines).nameSuffix, c.suffix);
  }
}

TEST_F(SettingsLinesTest, EveryLineBreakEndsALine) {
  const Settings settings = loadOk("[RSTRINGS]\ra=b\nc=d\r\ne=f");
  EXPECT_EQ(settings.replacements, (Pairs{{"a", "b"}, {"c", "d"}, {"e", "f"}}));
}

TEST_F(SettingsLinesTest, LongLinesAreKept) {
  const std::string key(40000, 'k');
  const std::string value(40000, 'v');
  const Settings settings = load({"[RSTRINGS]", key + "=" + value});
  EXPECT_EQ(settings.replacements, (Pairs{{key, value}}));
}

constexpr const char* kLocalLimit = "No more than 60 subtitutions allowed.";
constexpr const char* kReplacementLimit = "No more than 100 word subtitutions allowed.";

// A full table loads; one entry more fails, counted across repeated headers.
struct LimitCase {
  const char* name;
  Lines lines;
  std::string error;  // empty when the file loads
  std::size_t localChars = 0;
  std::size_t replacements = 0;
  TextPair lastLocal = {};  // entries are kept in file order, the last one too
  TextPair lastReplacement = {};
};

TEST_F(SettingsLinesTest, TableLimits) {
  const Lines local{"[LOCAL_CHAR]"}, strings{"[RSTRINGS]"};
  const Lines halfLocal = local + entries(30, "a") + Lines{"[RSTRINGS]", "r=s", "[local_char]"};
  const LimitCase cases[] = {
      {"SixtyLocalChars", local + entries(60), "", 60, 0, {"k60", "v60"}},
      {"SixtyOneLocalChars", local + entries(61), kLocalLimit},
      {"HundredReplacements", strings + entries(100), "", 0, 100, {}, {"k100", "v100"}},
      {"HundredAndOneReplacements", strings + entries(101), kReplacementLimit},
      {"BothFull",
       strings + entries(100) + local + entries(60),
       "",
       60,
       100,
       {"k60", "v60"},
       {"k100", "v100"}},
      {"LocalAcrossHeaders", halfLocal + entries(30, "b"), "", 60, 1, {"b30", "v30"}, {"r", "s"}},
      {"LocalAcrossHeadersOver", halfLocal + entries(31, "b"), kLocalLimit},
      {"ReplacementsAcrossHeadersOver",
       strings + entries(50) + Lines{"[OPTIONS]", "[RSTRINGS]"} + entries(51), kReplacementLimit},
      {"OutsideSectionsNotCounted",
       entries(200) + Lines{"[OPTIONS]"} + entries(200) + Lines{"[RSTRINGS]", "a=b"},
       "",
       0,
       1,
       {},
       {"a", "b"}},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SettingsLoad result = loadBytes(crLfLines(c.lines));
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.settings.has_value(), c.error.empty());
    if (!result.settings) continue;
    const Settings& settings = *result.settings;
    ASSERT_EQ(settings.localChars.size(), c.localChars);
    ASSERT_EQ(settings.replacements.size(), c.replacements);
    EXPECT_EQ(c.localChars ? settings.localChars.back() : TextPair{}, c.lastLocal);
    EXPECT_EQ(c.replacements ? settings.replacements.back() : TextPair{}, c.lastReplacement);
  }
}

TEST_F(SettingsLinesTest, MissingFileOrFolder) {
  const SettingsLoad missing = loadSettings(path_);
  EXPECT_FALSE(missing.settings.has_value());
  EXPECT_EQ(missing.error, path_ + " not found.");
  std::filesystem::create_directory(path_);
  const SettingsLoad folder = loadSettings(path_);
  EXPECT_FALSE(folder.settings.has_value());
  EXPECT_EQ(folder.error, path_ + " not found.");
}
TEST(SettingsDefaultNameTest, ReadsLexmendIniFromTheWorkingFolder) {
  TempDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  struct RestoreCwd {
    std::filesystem::path path;
    ~RestoreCwd() { std::filesystem::current_path(path); }
  } restore{before};
  std::filesystem::current_path(dir.path());

  SettingsLoad result = loadSettings();
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_EQ(result.error, "lexmend.ini not found.");

  writeBytes(dir.file("lexmend.ini"), "NAMESUFIXADD=_here\r\n");
  result = loadSettings();
  ASSERT_TRUE(result.settings.has_value()) << result.error;
  EXPECT_EQ(result.settings->nameSuffix, "_here");
}

}  // namespace
}  // namespace pellumar
