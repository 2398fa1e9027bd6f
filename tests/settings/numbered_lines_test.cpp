#include "settings/numbered_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using testing::TempDir;
using testing::writeBytes;

struct LinesCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

const LinesCase kLinesCases[] = {
    {"EmptyFile", "", {}},
    {"CrLfLastWithoutTerminator", "one\r\ntwo", {"one", "two"}},
    {"CrLfLastWithTerminator", "one\r\ntwo\r\n", {"one", "two"}},
    {"LoneCr", "a\rb", {"a", "b"}},
    {"LoneLf", "a\nb", {"a", "b"}},
    {"MixedTerminators", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
    {"LfThenCrIsTwoTerminators", "a\n\rb", {"a", "", "b"}},
    {"EmptyLineInside", "a\r\n\r\nb\r\n", {"a", "", "b"}},
    {"EmptyLastLine", "a\r\n\r\n", {"a", ""}},
    {"OnlyATerminator", "\r\n", {""}},
    {"SpacesAreNotEmpty", "  \r\n", {"  "}},
    {"Utf8MarkIsNotText",
     "\xEF\xBB\xBF"
     "first\r\nsecond",
     {"first", "second"}},
    {"Utf8Text", "\xC4\x85=a\r\n", {"\xC4\x85=a"}},
    {"Windows1250Text", "\xB9=a\r\n\x9C=s", {"\xC4\x85=a", "\xC5\x9B=s"}},
    {"Utf16LittleEndian",
     std::string("\xFF\xFE"
                 "a\0\r\0\n\0\x05\x01",
                 10),
     {"a", "\xC4\x85"}},
};

class NumberedLinesTest : public ::testing::TestWithParam<LinesCase> {
 protected:
  TempDir dir_;
};

TEST_P(NumberedLinesTest, CountsAndReadsEveryLine) {
  const LinesCase& c = GetParam();
  const std::string file = dir_.file("lines.txt");
  writeBytes(file, c.bytes);
  const auto count = static_cast<std::int32_t>(c.lines.size());

  std::string error;
  EXPECT_EQ(countLines(file, error), count);
  for (std::int32_t k = 1; k <= count; ++k) {
    EXPECT_EQ(readLineAt(file, k, error), c.lines[static_cast<std::size_t>(k - 1)]) << "k=" << k;
  }
  EXPECT_EQ(error, "");
}

TEST_P(NumberedLinesTest, NoSuchLineIsEmptyText) {
  const LinesCase& c = GetParam();
  const std::string file = dir_.file("lines.txt");
  writeBytes(file, c.bytes);
  const auto count = static_cast<std::int32_t>(c.lines.size());

  std::string error;
  for (std::int32_t k : {0, -1, count + 1, count + 2, std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::int32_t>::max()}) {
    EXPECT_EQ(readLineAt(file, k, error), "") << "k=" << k;
  }
  EXPECT_EQ(error, "");
}

INSTANTIATE_TEST_SUITE_P(Files, NumberedLinesTest, ::testing::ValuesIn(kLinesCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

TEST(NumberedLinesMissingTest, MissingFileIsNamedAsPassed) {
  TempDir dir;
  const std::string file = dir.file("absent.ini");
  std::string countError;
  EXPECT_EQ(countLines(file, countError), std::nullopt);
  EXPECT_EQ(countError, file + " not found.");

  std::string readError;
  EXPECT_EQ(readLineAt(file, 1, readError), std::nullopt);
  EXPECT_EQ(readError, file + " not found.");
}

TEST(NumberedLinesMissingTest, FolderCountsAsMissing) {
  TempDir dir;
  const std::string folder = dir.file("lexmend.ini");
  std::filesystem::create_directory(folder);
  std::string error;
  EXPECT_EQ(countLines(folder, error), std::nullopt);
  EXPECT_EQ(error, folder + " not found.");
  error.clear();
  EXPECT_EQ(readLineAt(folder, 1, error), std::nullopt);
  EXPECT_EQ(error, folder + " not found.");
}

TEST(NumberedLinesStatelessTest, EveryCallReadsTheFileAfresh) {
  TempDir dir;
  const std::string file = dir.file("lines.txt");
  std::string error;

  writeBytes(file, "a\r\nb\r\n");
  EXPECT_EQ(countLines(file, error), 2);
  EXPECT_EQ(readLineAt(file, 2, error), "b");

  writeBytes(file, "x\r\ny\r\nz\r\n");
  EXPECT_EQ(readLineAt(file, 2, error), "y");
  EXPECT_EQ(countLines(file, error), 3);

  std::filesystem::remove(file);
  EXPECT_EQ(readLineAt(file, 1, error), std::nullopt);
  EXPECT_EQ(error, file + " not found.");
}

TEST(NumberedLinesStatelessTest, LongLinesAndManyLinesAreNotCutShort) {
  TempDir dir;
  const std::string file = dir.file("lines.txt");
  const std::string longLine(40000, 'x');
  std::string bytes = longLine + "\r\n";
  for (int i = 0; i < 40000; ++i) bytes += "\n";
  bytes += "last";
  writeBytes(file, bytes);

  std::string error;
  EXPECT_EQ(countLines(file, error), 40002);
  EXPECT_EQ(readLineAt(file, 1, error), longLine);
  EXPECT_EQ(readLineAt(file, 40002, error), "last");
}

TEST(NumberedLinesFailureTest, ReadErrorIsReported) {
  // Reading this file at offset 0 fails with EIO, also for root.
  const std::string file = "/proc/self/mem";
  std::string error;
  EXPECT_EQ(countLines(file, error), std::nullopt);
  EXPECT_NE(error.find(file), std::string::npos) << error;
}

}  // namespace
}  // namespace pellumar
