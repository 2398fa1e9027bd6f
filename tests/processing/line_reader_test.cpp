#include "processing/text/line_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "processing/file_ops.h"
#include "processing/text/line_writer.h"
#include "processing/files/run_failure.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using testing::readBytes;
using testing::utf16;
using testing::utf32;
using testing::writeBytes;
using Form = TextEncoding::Form;
using Lines = std::vector<std::string>;

Lines readAll(const std::string& path, const TextEncoding& encoding) {
  LineReader reader(path, encoding);
  Lines lines;
  for (std::string line; reader.next(line);) lines.push_back(line);
  return lines;
}

class LineFiles : public ::testing::Test {
 protected:
  TextEncoding detect(const std::string& bytes) {
    writeBytes(in, bytes);
    return detectFileEncoding(in, CodePage::defaultPage());
  }

  testing::TempDir dir;
  const std::string in = dir.file("in"), out = dir.file("out");
};

// The file's lines, at every kind of line end, in its detected encoding;
// written back, they give the same bytes with CR LF after every line.
TEST_F(LineFiles, ReadsLinesAndWritesThemBackInTheSameEncoding) {
  const std::string chunk(FileReader::kChunkSize - 1, 'x'), longLine(3'000'000, 'a');
  const std::string fourByteEdges =
      "x\xF0\x90\x80\x80\xF4\x80\x80\x80\xF4\x8F\xBF\xBF" + std::string(24, 'x');
  std::string everyLegacyByte;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') everyLegacyByte.push_back(static_cast<char>(b));
  }
  const struct {
    const char* name;
    std::string bytes;
    Form form;
    std::optional<Lines> lines;              // absent: not looked at
    std::optional<std::string> output = {};  // absent: the same bytes
  } cases[] = {
      {"Empty", "", Form::Utf8, Lines{}},
      {"CrLf", "a\r\nb\r\n", Form::Utf8, Lines{"a", "b"}},
      {"TrailingEmptyLine", "a\r\n\r\n", Form::Utf8, Lines{"a", ""}},
      {"LfThenCr", "a\n\rb", Form::Utf8, Lines{"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"CrCrLf", "a\r\r\nb", Form::Utf8, Lines{"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"Mixed", "1\r\n2\n3\r4", Form::Utf8, Lines{"1", "2", "3", "4"}, "1\r\n2\r\n3\r\n4\r\n"},
      {"BomNotPartOfLine", "\xEF\xBB\xBFx\r\ny", Form::Utf8, Lines{"x", "y"},
       "\xEF\xBB\xBFx\r\ny\r\n"},
      {"BomOnly", "\xEF\xBB\xBF", Form::Utf8, Lines{}},
      // A surrogate written as UTF-8 is no UTF-8; a byte past the first piece read counts.
      {"Utf8Surrogate", "\xED\xA0\x80\r\n", Form::Legacy, Lines{"\xC3\xAD\xC2\xA0\xE2\x82\xAC"}},
      {"LateLegacyByte", longLine + "\xB9\r\n", Form::Legacy, std::nullopt},
      // The CR ends the first piece the reader takes.
      {"CrLfAcrossReadChunks", chunk + "\r\nnext", Form::Utf8, Lines{chunk, "next"},
       chunk + "\r\nnext\r\n"},
      {"LongLineUnterminated", longLine, Form::Utf8, Lines{longLine}, longLine + "\r\n"},
      {"Utf8Polish", "Zażółć\r\ngęślą\r\n", Form::Utf8, Lines{"Zażółć", "gęślą"}},
      // U+10000, U+100000 and U+10FFFF, the first and last four-byte forms,
      // where the check takes a block at a time.
      {"Utf8FourByteEdges", fourByteEdges, Form::Utf8, Lines{fourByteEdges},
       fourByteEdges + "\r\n"},
      // There too, a three-byte lead followed by letters is no UTF-8.
      {"Utf8CutThreeByteMidLine", "x\xE0" + fourByteEdges.substr(13), Form::Legacy, std::nullopt,
       "x\xE0" + fourByteEdges.substr(13) + "\r\n"},
      {"Windows1250", "Za\xBF\xF3\xB3\xE6\r\n", Form::Legacy, Lines{"Zażółć"}},
      {"CutUtf8", "\xC4\r\n", Form::Legacy, Lines{"Ä"}},
      {"OverlongUtf8", "\xC0\xAF\r\n", Form::Legacy, Lines{"ŔŻ"}},
      // 0x81, 0x83, 0x88, 0x90 and 0x98 mean nothing in windows-1250.
      {"UndefinedBytes", "a\x81\x83\x88\x90\x98z\r\n", Form::Legacy,
       Lines{"a\xED\xB2\x81\xED\xB2\x83\xED\xB2\x88\xED\xB2\x90\xED\xB2\x98z"}},
      {"EveryLegacyByte", everyLegacyByte + "\r\n", Form::Legacy, std::nullopt},
      {"Utf16Le", utf16(u"ą\r\nb\r\n", false), Form::Utf16Le, Lines{"ą", "b"}},
      {"Utf16Be", utf16(u"ą\r\nb\r\n", true), Form::Utf16Be, Lines{"ą", "b"}},
      {"Utf16SurrogatePair", utf16(u"\U0001F600\r\n", false), Form::Utf16Le, Lines{"\U0001F600"}},
      // DBFF is the last high surrogate: U+10FFFF is one character too.
      {"Utf16HighestSurrogatePair", utf16(u"\U0010FFFF\r\n", true), Form::Utf16Be,
       Lines{"\U0010FFFF"}},
      {"Utf16LoneSurrogate", utf16(std::u16string(u"a") + char16_t(0xD800) + u"b\r\n", false),
       Form::Utf16Le,
       Lines{"a\xED\xA0\x80"
             "b"}},
      // FF FE 00 00 starts UTF-32LE, not UTF-16LE with a NUL first.
      {"Utf32Le", utf32(U"ą\r\n\U0001F600\r\n", false), Form::Utf32Le, Lines{"ą", "\U0001F600"}},
      {"Utf32Be", utf32(U"ą\r\n\U0001F600\r\n", true), Form::Utf32Be, Lines{"ą", "\U0001F600"}},
      {"Utf32LoneSurrogates",
       utf32(std::u32string(U"a") + char32_t(0xD800) + char32_t(0xDC00) + U"\r\n", false),
       Form::Utf32Le, Lines{"a\xED\xA0\x80\xED\xB0\x80"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextEncoding encoding = detect(c.bytes);
    ASSERT_EQ(encoding.form, c.form);
    const Lines lines = readAll(in, encoding);
    EXPECT_EQ(lines, c.lines.value_or(lines));
    LineWriter writer(out, encoding);
    for (const auto& line : lines) writer.writeLine(line);
    writer.close();
    EXPECT_TRUE(readBytes(out) == c.output.value_or(c.bytes));
  }
}

TEST_F(LineFiles, ReadFailuresNameTheFile) {
  try {
    LineReader reader("/nonexistent/movie.srt", TextEncoding::utf8());
    FAIL() << "expected a failure";
  } catch (const RunFailure& failure) {
    EXPECT_STREQ(failure.what(),
                 "Cannot read \"/nonexistent/movie.srt\": No such file or directory.");
  }
  // An odd number of bytes is taken for UTF-16 by its mark, and cannot be read.
  const TextEncoding odd =
      detect(std::string("\xFF\xFE"
                         "a\0b",
                         5));
  EXPECT_TRUE(odd.form == Form::Utf16Le && odd.bom);
  EXPECT_THROW(readAll(in, odd), RunFailure);
}

TEST_F(LineFiles, CharacterTheCodePageCannotHoldFailsNamingItsLine) {
  LineWriter writer(out, TextEncoding::legacy(CodePage::defaultPage()), "movie_PL.srt");
  writer.writeLine("ok");
  try {
    writer.writeLine("snow \u2603");
    FAIL() << "expected a failure";
  } catch (const RunFailure& failure) {
    EXPECT_STREQ(failure.what(),
                 "Cannot write \"movie_PL.srt\": line 2 holds the character \"\u2603\" (U+2603), "
                 "which the code page windows-1250 cannot hold.");
  }
}

TEST_F(LineFiles, WriterNeverWritesThroughASymlinkNorOverAFolder) {
  writeBytes(in, "keep");
  std::filesystem::create_symlink(in, out);
  LineWriter writer(out, TextEncoding::utf8());
  writer.writeLine("new");
  writer.close();
  EXPECT_EQ(readBytes(in), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink(out));
  EXPECT_EQ(readBytes(out), "new\r\n");
  std::filesystem::create_directory(dir.file("folder"));
  EXPECT_THROW(LineWriter(dir.file("folder"), TextEncoding::utf8()), RunFailure);
}

}  // namespace
}  // namespace pellumar
