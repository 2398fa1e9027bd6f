#include "processing/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "processing/file_ops.h"
#include "processing/line_writer.h"
#include "processing/run_failure.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::utf16;
using testing::utf32;
using testing::writeBytes;
using Lines = std::vector<std::string>;

Lines readAll(const std::string& path, const TextEncoding& encoding) {
  LineReader reader(path, encoding);
  Lines lines;
  std::string line;
  while (reader.next(line)) lines.push_back(line);
  return lines;
}

struct SplitCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

class LineSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitting, SplitsAtEveryKindOfLineEnd) {
  TempDir dir;
  const std::string path = dir.file("in.txt");
  writeBytes(path, GetParam().bytes);
  EXPECT_EQ(readAll(path, detectFileEncoding(path, CodePage::defaultPage())), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, LineSplitting,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"LastLineUnterminated", "a\r\nb", {"a", "b"}},
        SplitCase{"LoneCr", "a\rb", {"a", "b"}}, SplitCase{"LoneLf", "a\nb\n", {"a", "b"}},
        SplitCase{"TrailingEmptyLine", "a\r\n\r\n", {"a", ""}},
        SplitCase{"OnlyTerminator", "\r\n", {""}}, SplitCase{"LfThenCr", "a\n\rb", {"a", "", "b"}},
        SplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
        SplitCase{"Mixed", "1\r\n2\n3\r4", {"1", "2", "3", "4"}},
        SplitCase{"BomNotPartOfLine", "\xEF\xBB\xBFx\r\ny", {"x", "y"}},
        SplitCase{"BomOnly", "\xEF\xBB\xBF", {}},
        // The CR ends the first piece the reader takes.
        SplitCase{"CrLfAcrossReadChunks",
                  std::string(FileReader::kChunkSize - 1, 'x') + "\r\nnext",
                  {std::string(FileReader::kChunkSize - 1, 'x'), "next"}},
        SplitCase{
            "LongLineUnterminated", std::string(3'000'000, 'a'), {std::string(3'000'000, 'a')}}),
    [](const auto& test) { return test.param.name; });

TEST(LineReader, MissingFileNamesTheFile) {
  try {
    LineReader reader("/nonexistent/movie.srt", TextEncoding::utf8());
    FAIL() << "expected a failure";
  } catch (const RunFailure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              "Cannot read \"/nonexistent/movie.srt\": No such file or directory.");
  }
}

TEST(LineReader, Utf16WithOddByteCountFails) {
  TempDir dir;
  const std::string path = dir.file("odd.txt");
  writeBytes(path, std::string("\xFF\xFE"
                               "a\0b",
                               5));
  TextEncoding utf16{TextEncoding::Form::Utf16Le, true, {}};
  EXPECT_THROW(readAll(path, utf16), RunFailure);
}

// Reading a file and writing its lines back gives the same bytes, with CR LF
// after every line.
struct RoundTrip {
  const char* name;
  TextEncoding::Form form;
  std::string bytes;  // with CR LF line ends
  Lines lines;        // as UTF-8
};

class EncodingRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(EncodingRoundTrip, ReadsLinesAndWritesTheSameBytes) {
  const RoundTrip& param = GetParam();
  TempDir dir;
  const std::string in = dir.file("in"), out = dir.file("out");
  writeBytes(in, param.bytes);
  const TextEncoding encoding = detectFileEncoding(in, CodePage::defaultPage());
  ASSERT_EQ(encoding.form, param.form);
  const Lines lines = readAll(in, encoding);
  EXPECT_EQ(lines, param.lines);
  {
    LineWriter writer(out, encoding);
    for (const auto& line : lines) writer.writeLine(line);
    writer.close();
  }
  EXPECT_EQ(readBytes(out), param.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodingRoundTrip,
    ::testing::Values(
        RoundTrip{"Ascii", TextEncoding::Form::Utf8, "abc\r\n\r\nd\r\n", {"abc", "", "d"}},
        RoundTrip{
            "Utf8Polish", TextEncoding::Form::Utf8, "Zażółć\r\ngęślą\r\n", {"Zażółć", "gęślą"}},
        RoundTrip{"Utf8WithBom", TextEncoding::Form::Utf8, "\xEF\xBB\xBFją\r\n", {"ją"}},
        RoundTrip{"Windows1250", TextEncoding::Form::Legacy, "Za\xBF\xF3\xB3\xE6\r\n", {"Zażółć"}},
        // 0x81, 0x83, 0x88, 0x90 and 0x98 mean nothing in windows-1250.
        RoundTrip{"UndefinedBytes",
                  TextEncoding::Form::Legacy,
                  "a\x81\x83\x88\x90\x98z\r\n",
                  {"a\xED\xB2\x81\xED\xB2\x83\xED\xB2\x88\xED\xB2\x90\xED\xB2\x98z"}},
        RoundTrip{"Utf16Le", TextEncoding::Form::Utf16Le, utf16(u"ą\r\nb\r\n", false), {"ą", "b"}},
        RoundTrip{"Utf16Be", TextEncoding::Form::Utf16Be, utf16(u"ą\r\nb\r\n", true), {"ą", "b"}},
        RoundTrip{"Utf16SurrogatePair",
                  TextEncoding::Form::Utf16Le,
                  utf16(u"\U0001F600\r\n", false),
                  {"\U0001F600"}},
        // DBFF is the last high surrogate: U+10FFFF is one character too.
        RoundTrip{"Utf16HighestSurrogatePair",
                  TextEncoding::Form::Utf16Be,
                  utf16(u"\U0010FFFF\r\n", true),
                  {"\U0010FFFF"}},
        RoundTrip{"Utf16LoneSurrogate",
                  TextEncoding::Form::Utf16Le,
                  utf16(std::u16string(u"a") + char16_t(0xD800) + u"b\r\n", false),
                  {"a\xED\xA0\x80"
                   "b"}},
        // FF FE 00 00 starts UTF-32LE, not UTF-16LE with a NUL first.
        RoundTrip{"Utf32Le",
                  TextEncoding::Form::Utf32Le,
                  utf32(U"ą\r\n\U0001F600\r\n", false),
                  {"ą", "\U0001F600"}},
        RoundTrip{"Utf32Be",
                  TextEncoding::Form::Utf32Be,
                  utf32(U"ą\r\n\U0001F600\r\n", true),
                  {"ą", "\U0001F600"}},
        RoundTrip{
            "Utf32LoneSurrogates",
            TextEncoding::Form::Utf32Le,
            utf32(std::u32string(U"a") + char32_t(0xD800) + char32_t(0xDC00) + U"\r\n", false),
            {"a\xED\xA0\x80\xED\xB0\x80"}}),
    [](const auto& test) { return test.param.name; });

TEST(EncodingRoundTrip, EveryLegacyByteComesBack) {
  TempDir dir;
  const std::string in = dir.file("in"), out = dir.file("out");
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
  }
  bytes += "\r\n";
  writeBytes(in, bytes);
  const TextEncoding encoding = detectFileEncoding(in, CodePage::defaultPage());
  ASSERT_EQ(encoding.form, TextEncoding::Form::Legacy);
  {
    LineWriter writer(out, encoding);
    for (const auto& line : readAll(in, encoding)) writer.writeLine(line);
    writer.close();
  }
  EXPECT_EQ(readBytes(out), bytes);
}

struct DetectCase {
  const char* name;
  std::string bytes;
  TextEncoding::Form form;
  bool bom;
};

class EncodingDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(EncodingDetection, DecidesFromTheBytes) {
  TempDir dir;
  const std::string path = dir.file("in.txt");
  writeBytes(path, GetParam().bytes);
  const TextEncoding found = detectFileEncoding(path, CodePage::defaultPage());
  EXPECT_EQ(found.form, GetParam().form);
  EXPECT_EQ(found.bom, GetParam().bom);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EncodingDetection,
    ::testing::Values(DetectCase{"Empty", "", TextEncoding::Form::Utf8, false},
                      DetectCase{"Utf8Bom", "\xEF\xBB\xBFx", TextEncoding::Form::Utf8, true},
                      DetectCase{"Utf16LeBomThenNul", std::string("\xFF\xFE\0", 3),
                                 TextEncoding::Form::Utf16Le, true},
                      DetectCase{"CutUtf8", "\xC4", TextEncoding::Form::Legacy, false},
                      DetectCase{"Overlong", "\xC0\xAF", TextEncoding::Form::Legacy, false},
                      DetectCase{"Surrogate", "\xED\xA0\x80", TextEncoding::Form::Legacy, false},
                      DetectCase{"InvalidInTheMiddle", "ok ą \xFF ok", TextEncoding::Form::Legacy,
                                 false}),
    [](const auto& test) { return test.param.name; });

TEST(EncodingDetection, InvalidByteFarIntoTheFileMakesItLegacy) {
  TempDir dir;
  const std::string path = dir.file("late.txt");
  writeBytes(path, std::string(300'000, 'a') + "\xB9\r\n");
  EXPECT_EQ(detectFileEncoding(path, CodePage::defaultPage()).form, TextEncoding::Form::Legacy);
}

TEST(LineWriter, CharacterTheCodePageCannotHoldFailsNamingItsLine) {
  TempDir dir;
  LineWriter writer(dir.file("out"), TextEncoding::legacy(CodePage::defaultPage()), "movie_PL.srt");
  writer.writeLine("ok");
  try {
    writer.writeLine("snow \u2603");
    FAIL() << "expected a failure";
  } catch (const RunFailure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              "Cannot write \"movie_PL.srt\": line 2 holds the character \"\u2603\" (U+2603), "
              "which the code page windows-1250 cannot hold.");
  }
}

TEST(LineWriter, NeverWritesThroughASymlink) {
  TempDir dir;
  const std::string victim = dir.file("victim"), link = dir.file("out");
  writeBytes(victim, "keep");
  std::filesystem::create_symlink(victim, link);
  {
    LineWriter writer(link, TextEncoding::utf8());
    writer.writeLine("new");
    writer.close();
  }
  EXPECT_EQ(readBytes(victim), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(link), "new\r\n");
}

TEST(LineWriter, FolderAtTheNameFails) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("out"));
  EXPECT_THROW(LineWriter(dir.file("out"), TextEncoding::utf8()), RunFailure);
}

}  // namespace
}  // namespace pellumar
