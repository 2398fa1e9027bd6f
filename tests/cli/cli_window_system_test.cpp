#include "cli/cli_window_system.h"

#include <gtest/gtest.h>

namespace pellumar::cli {
namespace {

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
