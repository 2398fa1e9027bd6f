#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_window_system.h"

namespace pellumar::cli {
namespace {

using Args = std::vector<std::string>;

// A parse in short: for options, one 0/1 per box in the window's order
// (remove codes, delete spaces, local characters, delete blank, help mode,
// replace strings, fix SRT blank), then the other options and the FILEs; else
// the exit status and what is printed, "usage: MESSAGE" for
// "pellumar-cli: MESSAGE" and the hint to --help.
std::string parse(Args args, unsigned defaultJobs = 3) {
  args.insert(args.begin(), "pellumar-cli");
  std::vector<const char*> argv;
  for (const auto& arg : args) argv.push_back(arg.c_str());
  const CommandLine line =
      parseCommandLine(static_cast<int>(argv.size()), argv.data(), defaultJobs);
  const std::string hint = "\nRun with --help for more information.\n";
  std::string text = line.out + line.err;
  if (line.err.starts_with("pellumar-cli: ") && line.err.ends_with(hint)) {
    text = line.out + "usage: " + line.err.substr(14, line.err.size() - 14 - hint.size());
  }
  if (!line.options || line.exitStatus != 0) return std::to_string(line.exitStatus) + " " + text;
  const CliOptions& options = *line.options;
  for (const bool ticked : options.ticked) text += ticked ? '1' : '0';
  text += " -j" + std::to_string(options.jobs) + (options.quiet ? " -q" : "") +
          (options.verbose ? " -v" : "") + (options.mode == RunMode::Staged ? " --staged" : "");
  if (options.settingsFile) text += " --settings " + *options.settingsFile;
  if (options.codePages) text += " --codepage";
  for (const auto& page : options.codePages.value_or(CodePageCandidates{}))
    text += " " + page->name();
  for (const auto& file : options.files) text += " " + file;
  return text;
}

TEST(CliOptionsTest, ReadsTheCommandLine) {
  const std::pair<Args, std::string> cases[] = {
      {{"m.srt"}, "0010010 -j3 m.srt"},
      {{"--remove-codes", "--no-local-chars", "m.srt"}, "1000010 -j3 m.srt"},
      {{"--delete-spaces", "--no-replace-strings", "m.srt"}, "0110000 -j3 m.srt"},
      {{"--delete-blank", "m.srt"}, "0011010 -j3 m.srt"},
      {{"--fix-srt-blank", "m.srt"}, "0010011 -j3 m.srt"},
      {{"--all", "m.srt"}, "1111011 -j3 m.srt"},
      // A box named on its own wins over --all, before or after it.
      {{"--no-local-chars", "--no-replace-strings", "--all", "m.srt"}, "1101001 -j3 m.srt"},
      {{"--all", "--no-local-chars", "m.srt"}, "1101011 -j3 m.srt"},
      {{"b.srt", "-q", "-v", "--staged", "-j", "4", "--settings", "my.ini", "./a.sub", "--codepage",
        "auto:cp1251,koi8-r", "dir/../c.txt", "b.srt"},
       "0010010 -j4 -q -v --staged --settings my.ini --codepage windows-1251 KOI8-R b.srt ./a.sub "
       "dir/../c.txt b.srt"},
      {{}, "2 usage: No FILE given."},
      {{"--all", "-q", "--staged"}, "2 usage: No FILE given."},
      {{"-j", "0", "a.srt"}, "2 usage: --jobs: N must be at least 1, not 0."},
      {{"--codepage", "nope", "a.srt"}, "2 usage: --codepage: Unknown code page \"nope\"."},
      {{"--codepage", "auto:", "a.srt"},
       "2 usage: --codepage: Malformed code page list \"auto:\"."},
      {{"--bogus", "a.srt"}, "2 usage: The following argument was not expected: --bogus"},
      {{"--version", "a.srt"}, "0 pellumar-cli " PELLUMAR_VERSION "\n"},
  };
  for (const auto& [args, expected] : cases) EXPECT_EQ(parse(args), expected);
  EXPECT_EQ(parse({"a.srt"}, 0), "0010010 -j1 a.srt");
}

TEST(CliOptionsTest, ErrorLinesNameTheFileAndStayOneLine) {
  const std::pair<std::string, std::string> cases[] = {{"a\r\nb", "a b"},
                                                       {"a\r\n\r\nb", "a  b"},
                                                       {"a\nb\rc", "a b c"},
                                                       {"end\r\n", "end "},
                                                       {"", ""}};
  for (const auto& [text, line] : cases) EXPECT_EQ(errorLine(text), "pellumar-cli: " + line + "\n");
  EXPECT_EQ(errorLine("No such file.", "gone.srt"), "pellumar-cli: gone.srt: No such file.\n");
}

}  // namespace
}  // namespace pellumar::cli
