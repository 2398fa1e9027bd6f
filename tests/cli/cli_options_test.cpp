#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace pellumar::cli {
namespace {

constexpr unsigned kDefaultJobs = 3;

CommandLine parse(std::vector<std::string> args) {
  args.insert(args.begin(), "pellumar-cli");
  std::vector<const char*> argv;
  for (const auto& arg : args) argv.push_back(arg.c_str());
  return parseCommandLine(static_cast<int>(argv.size()), argv.data(), kDefaultJobs);
}

std::string join(const std::vector<std::string>& args) {
  std::string joined;
  for (const auto& arg : args) joined += (joined.empty() ? "" : " ") + arg;
  return joined;
}

// The six boxes a run reads, in the order of the table below.
constexpr Option kRunOptions[] = {
    Option::SubstituteLocalChars,  Option::ReplaceStrings,       Option::RemoveFormattingCodes,
    Option::DeleteRedundantSpaces, Option::DeleteBlankSubtitles, Option::FixSrtBlankLines,
};

struct TickCase {
  std::vector<std::string> args;
  std::string ticks;  // one of 0/1 per entry of kRunOptions
};

class TickTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickTest, TicksTheBoxes) {
  const TickCase& c = GetParam();
  std::vector<std::string> args = c.args;
  args.push_back("movie.srt");
  const CommandLine result = parse(args);
  ASSERT_TRUE(result.options) << result.err;
  std::string ticks;
  for (const Option option : kRunOptions) ticks += result.options->isTicked(option) ? '1' : '0';
  EXPECT_EQ(ticks, c.ticks) << join(c.args);
  EXPECT_FALSE(result.options->isTicked(Option::HelpMode));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Flags, TickTest,
    ::testing::Values(
        TickCase{{}, "110000"}, TickCase{{"--no-local-chars"}, "010000"},
        TickCase{{"--no-replace-strings"}, "100000"},
        TickCase{{"--no-local-chars", "--no-replace-strings"}, "000000"},
        TickCase{{"--remove-codes"}, "111000"}, TickCase{{"--delete-spaces"}, "110100"},
        TickCase{{"--delete-blank"}, "110010"}, TickCase{{"--fix-srt-blank"}, "110001"},
        TickCase{{"--remove-codes", "--delete-spaces", "--delete-blank", "--fix-srt-blank"},
                 "111111"},
        TickCase{{"--all"}, "111111"},
        // A box named on its own wins over --all, before or after it.
        TickCase{{"--no-local-chars", "--no-replace-strings", "--all"}, "001111"},
        TickCase{{"--remove-codes", "--all"}, "111111"},
        TickCase{{"--all", "--no-local-chars"}, "011111"},
        TickCase{{"--no-replace-strings", "--all"}, "101111"},
        TickCase{{"--local-chars", "--no-local-chars"}, "010000"}));

TEST(CliOptionsTest, DefaultsAreThoseOfAFreshWindow) {
  const CommandLine result = parse({"a.srt"});
  ASSERT_TRUE(result.options);
  const CliOptions& options = *result.options;
  EXPECT_EQ(options.files, std::vector<std::string>{"a.srt"});
  EXPECT_EQ(options.jobs, kDefaultJobs);
  EXPECT_FALSE(options.quiet);
  EXPECT_EQ(options.mode, RunMode::SinglePass);
  EXPECT_FALSE(options.settingsFile);
}

TEST(CliOptionsTest, FilesKeepTheirOrderAndSpelling) {
  const CommandLine result = parse({"b.srt", "--all", "./a.sub", "dir/../c.txt", "b.srt"});
  ASSERT_TRUE(result.options);
  EXPECT_EQ(result.options->files,
            (std::vector<std::string>{"b.srt", "./a.sub", "dir/../c.txt", "b.srt"}));
}

TEST(CliOptionsTest, SettingsFileAsGiven) {
  const CommandLine result = parse({"--settings", "conf/my.ini", "a.srt"});
  ASSERT_TRUE(result.options);
  EXPECT_EQ(result.options->settingsFile, "conf/my.ini");
}

TEST(CliOptionsTest, QuietAndStaged) {
  const CommandLine result = parse({"-q", "--staged", "a.srt"});
  ASSERT_TRUE(result.options);
  EXPECT_TRUE(result.options->quiet);
  EXPECT_EQ(result.options->mode, RunMode::Staged);
}

struct JobsCase {
  std::vector<std::string> args;
  unsigned jobs;
};

class JobsTest : public ::testing::TestWithParam<JobsCase> {};

TEST_P(JobsTest, ReadsTheNumber) {
  std::vector<std::string> args = GetParam().args;
  args.push_back("a.srt");
  const CommandLine result = parse(args);
  ASSERT_TRUE(result.options) << result.err;
  EXPECT_EQ(result.options->jobs, GetParam().jobs) << join(GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(Jobs, JobsTest,
                         ::testing::Values(JobsCase{{}, kDefaultJobs}, JobsCase{{"-j", "4"}, 4}));

TEST(CliOptionsTest, JobsDefaultNeverBelowOne) {
  std::vector<const char*> argv = {"pellumar-cli", "a.srt"};
  const CommandLine result = parseCommandLine(2, argv.data(), 0);
  ASSERT_TRUE(result.options);
  EXPECT_EQ(result.options->jobs, 1u);
  EXPECT_GE(cpuCount(), 1u);
}

class BadUsageTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadUsageTest, ExitsWithTwoAndAHint) {
  const CommandLine result = parse(GetParam());
  EXPECT_FALSE(result.options) << join(GetParam());
  EXPECT_EQ(result.exitStatus, 2) << join(GetParam());
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("pellumar-cli: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Usage, BadUsageTest,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"--all"},
                      std::vector<std::string>{"-q", "--staged"},
                      std::vector<std::string>{"--bogus", "a.srt"},
                      std::vector<std::string>{"-j", "0", "a.srt"},
                      std::vector<std::string>{"--codepage", "no-such-page", "a.srt"},
                      std::vector<std::string>{"--codepage", "auto:", "a.srt"}));

TEST(CliOptionsTest, NoFileIsNamedAsSuch) {
  EXPECT_EQ(parse({}).err, "pellumar-cli: No FILE given.\nRun with --help for more information.\n");
}

TEST(CliOptionsTest, JobsBelowOneIsNamedAsSuch) {
  EXPECT_EQ(parse({"-j", "0", "a.srt"}).err,
            "pellumar-cli: --jobs: N must be at least 1, not 0.\n"
            "Run with --help for more information.\n");
}

TEST(CliOptionsTest, HelpGoesToStdoutWithStatusZero) {
  const CommandLine result = parse({"--all", "a.srt", "--help"});
  EXPECT_FALSE(result.options);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("Usage: pellumar-cli [OPTION]... FILE..."), std::string::npos);
  // CLI11 marks negated flags with "{false}"; the help reads better without.
  EXPECT_EQ(result.out.find('{'), std::string::npos) << result.out;
}

}  // namespace
}  // namespace pellumar::cli
