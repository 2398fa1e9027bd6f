// Line reading in every encoding the program reads, through the checks of
// the line_files fuzz target: the encoding detected, the lines against a
// plain split of the decoded text, written back and read again. Its seeds
// hold the edges of characters, lines and the pieces read.

#include <gtest/gtest.h>

#include "tests/processing/system_faults.h"

#define PELLUMAR_FUZZ_REPLAY
#include "fuzz/line_files.cpp"

namespace pellumar {
namespace {

// UTF-8 with and without its mark, windows-1250, UTF-16 and UTF-32 in both
// byte orders; CR LF, lone CR, lone LF and all three, the last line with
// and without an end.
TEST(LineFiles, EveryEncodingWithEveryLineEnd) {
  const std::vector<std::string> lines{"Zażółć", "", "gęślą jaźń", ""};
  for (int form = 0; form < 7; ++form) {
    for (const auto& ends :
         std::vector<std::vector<const char*>>{{"\r\n"}, {"\r"}, {"\n"}, {"\r", "\r\n", "\n"}}) {
      for (const bool lastEnded : {true, false}) {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i)
          text += lines[i] + (lastEnded || i + 1 < lines.size() ? ends[i % ends.size()] : "");
        const std::u32string chars = testing::charactersOf(text);
        std::string bytes = form == 1 ? "\xEF\xBB\xBF" + text : form == 2 ? "" : text;
        if (form == 2) CodePage::defaultPage()->encode(text, bytes);
        if (form == 3 || form == 4)
          bytes = testing::utf16(std::u16string(chars.begin(), chars.end()), form == 4);
        if (form >= 5) bytes = testing::utf32(chars, form == 6);
        bytes.insert(0, 1, '\0');
        EXPECT_NO_THROW(fuzz::line_files::run(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              bytes.size()))
            << form << ": " << ::testing::PrintToString(text);
      }
    }
  }
}

// More than three lines of a kind make the kind; once a file is certain to
// be of both, the rest is not read.
TEST(DetectSubtitleKind, StopsReadingWhenBothKindsAreCertain) {
  testing::TempDir dir;
  const std::string path = dir.file("movie.srt");
  const std::string both = "{1}{2}a\r\n1 --> 2\r\n{3}{4}b --> c\r\n}}{{\r\n-->\r\n";
  testing::writeBytes(path, both);
  EXPECT_EQ(detectSubtitleKind(path, {}), (SubtitleKind{false, false}));
  testing::writeBytes(path, both + "x{{}} -->\r" + std::string(1 << 20, 'x'));
  SystemFaults calls({});
  EXPECT_EQ(detectSubtitleKind(path, {}), (SubtitleKind{true, true}));
  EXPECT_EQ(calls.reads, 1);
}

}  // namespace
}  // namespace pellumar
