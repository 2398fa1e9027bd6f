#include "settings/settings_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace pellumar {

void PrintTo(const TextPair& pair, std::ostream* out) {
  *out << "(\"" << pair.from << "\", \"" << pair.to << "\")";
}

namespace {

using testing::TempDir;
using testing::writeBytes;
using Pairs = std::vector<TextPair>;

std::string crLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Entries k1=v1 … kN=vN, one a line.
std::vector<std::string> entries(int count, const std::string& prefix = "k") {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(prefix + std::to_string(i) + "=v" + std::to_string(i));
  }
  return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsLoad loadBytes(const std::string& bytes) {
    writeBytes(path_, bytes);
    return loadSettings(path_);
  }

  // Loads lines that must give settings.
  Settings load(const std::vector<std::string>& lines) { return loadOk(crLfLines(lines)); }

  Settings loadOk(const std::string& bytes) {
    SettingsLoad result = loadBytes(bytes);
    EXPECT_TRUE(result.settings.has_value()) << result.error;
    EXPECT_EQ(result.error, "");
    return result.settings.value_or(Settings{});
  }

  std::string loadError(const std::vector<std::string>& lines) {
    SettingsLoad result = loadBytes(crLfLines(lines));
    EXPECT_FALSE(result.settings.has_value());
    return result.error;
  }

  TempDir dir_;
  const std::string path_ = dir_.file("lexmend.ini");
};

TEST_F(SettingsFileTest, WorkedExample) {
  const Settings settings = load({
      "; characters and strings to fix",
      "NAMESUFIXADD=_fixed",
      "[Local_Char]",
      "\xC3\xB1=n",
      "\xC3\xA7=c",
      "",
      "[RSTRINGS]",
      "teh=the",
      "=the",
      "[EOF]",
      "dont=don't",
  });
  EXPECT_EQ(settings.localChars, (Pairs{{"\xC3\xB1", "n"}, {"\xC3\xA7", "c"}}));
  EXPECT_EQ(settings.replacements, (Pairs{{"teh", "the"}, {"teh", "the"}, {"dont", "don't"}}));
  EXPECT_EQ(settings.nameSuffix, "_fixed");
}

struct RuleCase {
  const char* name;
  std::vector<std::string> lines;
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

class SettingsRuleTest : public SettingsFileTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(SettingsRuleTest, FillsTablesAndSuffix) {
  const RuleCase& c = GetParam();
  const Settings settings = load(c.lines);
  EXPECT_EQ(settings.localChars, c.localChars);
  EXPECT_EQ(settings.replacements, c.replacements);
  EXPECT_EQ(settings.nameSuffix, c.suffix);
}

INSTANTIATE_TEST_SUITE_P(Lines, SettingsRuleTest, ::testing::ValuesIn(kRuleCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

struct EntryCase {
  const char* line;
  TextPair pair;
};

TEST_F(SettingsFileTest, EntryLineAfterTehThe) {
  const EntryCase cases[] = {
      {"a=b=c", {"a", "b=c"}}, {" a = b ", {" a ", " b "}}, {"=x", {"teh", "x"}},
      {"xyz", {"teh", "xyz"}}, {"x=", {"x", ""}},           {"=", {"teh", ""}},
      {"==", {"teh", "="}},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.line);
    const Settings settings = load({"[RSTRINGS]", "teh=the", c.line});
    EXPECT_EQ(settings.replacements, (Pairs{{"teh", "the"}, c.pair}));
  }
}

struct SuffixCase {
  std::vector<std::string> lines;
  std::string suffix;
};

TEST_F(SettingsFileTest, NameSuffix) {
  const SuffixCase cases[] = {
      {{"NAMESUFIXADD=_fixed"}, "_fixed"},
      {{"namesufixadd=_x"}, "_x"},
      {{"NameSufixAdd=_x"}, "_x"},
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
      {{"NAMESUFIXADD=_fix", "[RSTRINGS]", ";c", ""}, "_fix"},
      {{"NAMESUFIXADD=_fix", "other=1", "plain"}, "_fix"},
      // A dotless i upper-cases to I under Unicode rules, but not here.
      {{"namesuf\xC4\xB1xadd=_x"}, "_PL"},
  };
  for (const SuffixCase& c : cases) {
    SCOPED_TRACE(crLfLines(c.lines));
    EXPECT_EQ(load(c.lines).nameSuffix, c.suffix);
  }
}

TEST_F(SettingsFileTest, EveryLineBreakEndsALine) {
  const Settings settings = loadOk("[RSTRINGS]\ra=b\nc=d\r\ne=f");
  EXPECT_EQ(settings.replacements, (Pairs{{"a", "b"}, {"c", "d"}, {"e", "f"}}));
}

TEST_F(SettingsFileTest, LongLinesAreKept) {
  const std::string key(40000, 'k');
  const std::string value(40000, 'v');
  const Settings settings = load({"[RSTRINGS]", key + "=" + value});
  EXPECT_EQ(settings.replacements, (Pairs{{key, value}}));
}

constexpr const char* kLocalLimit = "No more than 60 subtitutions allowed.";
constexpr const char* kReplacementLimit = "No more than 100 word subtitutions allowed.";

TEST_F(SettingsFileTest, SixtyLocalCharsLoad) {
  const Settings settings = load(std::vector<std::string>{"[LOCAL_CHAR]"} + entries(60));
  ASSERT_EQ(settings.localChars.size(), 60u);
  EXPECT_EQ(settings.localChars.front(), (TextPair{"k1", "v1"}));
  EXPECT_EQ(settings.localChars.back(), (TextPair{"k60", "v60"}));
}

TEST_F(SettingsFileTest, SixtyFirstLocalCharFails) {
  EXPECT_EQ(loadError(std::vector<std::string>{"[LOCAL_CHAR]"} + entries(61)), kLocalLimit);
}

TEST_F(SettingsFileTest, HundredReplacementsLoad) {
  const Settings settings = load(std::vector<std::string>{"[RSTRINGS]"} + entries(100));
  ASSERT_EQ(settings.replacements.size(), 100u);
  EXPECT_EQ(settings.replacements.back(), (TextPair{"k100", "v100"}));
}

TEST_F(SettingsFileTest, HundredAndFirstReplacementFails) {
  EXPECT_EQ(loadError(std::vector<std::string>{"[RSTRINGS]"} + entries(101)), kReplacementLimit);
}

TEST_F(SettingsFileTest, BothTablesFullLoad) {
  const Settings settings = load(std::vector<std::string>{"[RSTRINGS]"} + entries(100) +
                                 std::vector<std::string>{"[LOCAL_CHAR]"} + entries(60));
  EXPECT_EQ(settings.localChars.size(), 60u);
  EXPECT_EQ(settings.replacements.size(), 100u);
}

TEST_F(SettingsFileTest, CountsRunOnAcrossRepeatedHeaders) {
  const std::vector<std::string> first = std::vector<std::string>{"[LOCAL_CHAR]"} +
                                         entries(30, "a") +
                                         std::vector<std::string>{"[RSTRINGS]", "r=s"};
  const Settings settings =
      load(first + std::vector<std::string>{"[local_char]"} + entries(30, "b"));
  ASSERT_EQ(settings.localChars.size(), 60u);
  EXPECT_EQ(settings.localChars[29], (TextPair{"a30", "v30"}));
  EXPECT_EQ(settings.localChars[30], (TextPair{"b1", "v1"}));

  EXPECT_EQ(loadError(first + std::vector<std::string>{"[LOCAL_CHAR]"} + entries(31, "b")),
            kLocalLimit);
  EXPECT_EQ(loadError(std::vector<std::string>{"[RSTRINGS]"} + entries(50) +
                      std::vector<std::string>{"[OPTIONS]", "[RSTRINGS]"} + entries(51)),
            kReplacementLimit);
}

TEST_F(SettingsFileTest, EntriesOutsideSectionsAreNotCounted) {
  const Settings settings = load(entries(200) + std::vector<std::string>{"[OPTIONS]"} +
                                 entries(200) + std::vector<std::string>{"[RSTRINGS]", "a=b"});
  EXPECT_EQ(settings.replacements, (Pairs{{"a", "b"}}));
}

TEST_F(SettingsFileTest, MissingFile) {
  const SettingsLoad result = loadSettings(path_);
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_EQ(result.error, path_ + " not found.");
}

TEST_F(SettingsFileTest, FolderCountsAsMissing) {
  std::filesystem::create_directory(path_);
  const SettingsLoad result = loadSettings(path_);
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_EQ(result.error, path_ + " not found.");
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
