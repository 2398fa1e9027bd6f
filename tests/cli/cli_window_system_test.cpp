#include "cli/cli_window_system.h"

#include <gtest/gtest.h>

namespace pellumar::cli {
namespace {

TEST(CliWindowSystemTest, BoxesAnswerFromTheOptions) {
  CliOptions options;
  options.setTicked(Option::ReplaceStrings, false);
  options.setTicked(Option::FixSrtBlankLines, true);
  CliWindowSystem window("a.srt", options);
  EXPECT_TRUE(window.isTicked(Option::SubstituteLocalChars));
  EXPECT_FALSE(window.isTicked(Option::ReplaceStrings));
  EXPECT_FALSE(window.isTicked(Option::RemoveFormattingCodes));
  EXPECT_FALSE(window.isTicked(Option::DeleteRedundantSpaces));
  EXPECT_FALSE(window.isTicked(Option::DeleteBlankSubtitles));
  EXPECT_TRUE(window.isTicked(Option::FixSrtBlankLines));
  EXPECT_FALSE(window.isTicked(Option::HelpMode));
}

TEST(CliWindowSystemTest, MessagesBecomeOneStderrLineEach) {
  CliOptions options;
  CliWindowSystem window("dir/x.txt", options);
  window.showMessage("Unknown subtitle type.\r\nCannot process for \"Delete blank lines\" option.",
                     MessageIcon::None, std::string(kAppTitle));
  window.showMessage("Cannot write \"dir/x_PL.txt\": No space left on device.", MessageIcon::None,
                     std::nullopt);
  EXPECT_EQ(window.errorText(),
            "pellumar-cli: dir/x.txt: Unknown subtitle type. Cannot process for \"Delete blank "
            "lines\" option.\n"
            "pellumar-cli: dir/x.txt: Cannot write \"dir/x_PL.txt\": No space left on device.\n");
}

struct LineCase {
  std::string text;
  std::string line;
};

class ErrorLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ErrorLineTest, KeepsTheMessageOnOneLine) {
  EXPECT_EQ(errorLine(GetParam().text), "pellumar-cli: " + GetParam().line + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, ErrorLineTest,
    ::testing::Values(LineCase{"lexmend.ini not found.", "lexmend.ini not found."},
                      LineCase{"a\r\nb", "a b"}, LineCase{"a\r\n\r\nb", "a  b"},
                      LineCase{"a\nb\rc", "a b c"}, LineCase{"end\r\n", "end "}, LineCase{"", ""}));

TEST(ErrorLineTest, NamesTheFile) {
  EXPECT_EQ(errorLine("No such file.", std::string("gone.srt")),
            "pellumar-cli: gone.srt: No such file.\n");
}

}  // namespace
}  // namespace pellumar::cli
