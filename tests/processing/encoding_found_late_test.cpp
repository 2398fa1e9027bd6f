#include <gtest/gtest.h>

#include "processing/file_ops.h"
#include "processing/processing_run.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using testing::FakeWindowSystem;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

// The single pass takes a file that starts as UTF-8 for UTF-8 and checks the
// rest as it reads it. Where the text stops being UTF-8 only after the first
// piece read, the run must come out as the staged run's does, which judges
// the whole file first: same output, each message once, the same encoding.
TEST(EncodingFoundLate, SinglePassEndsAsTheStagedRunDoes) {
  // Plain text, so that the blank-line passes each say they cannot work on it.
  std::string utf8Start;
  while (utf8Start.size() < 3 * FileReader::kChunkSize) utf8Start += "Zażółć gęślą  jaźń .\r\n";
  const struct {
    const char* name;
    std::string bytes;
    const char* encoding;
  } cases[] = {
      {"UTF-8 to the end", utf8Start + "ąę\r\n", "UTF-8"},
      {"windows-1250 after the first piece", utf8Start + "\xB9\xEA \r\n", "windows-1250"},
      {"a character cut off at the end", utf8Start + "\xC4", "windows-1250"},
  };
  Settings settings;
  settings.localChars = {{"ą", "a"}, {"ę", "e"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string input = dir.file("notes.txt");
    writeBytes(input, c.bytes);
    std::string outputs[2];
    std::vector<std::string> messages[2];
    for (const RunMode mode : {RunMode::Staged, RunMode::SinglePass}) {
      FakeWindowSystem window;
      for (const Option option : {Option::RemoveFormattingCodes, Option::DeleteRedundantSpaces,
                                  Option::DeleteBlankSubtitles, Option::FixSrtBlankLines})
        window.ticked[option] = true;
      ProcessingRun run(settings, window, mode);
      EXPECT_EQ(run.clean(input), RunOutcome::Done);
      ASSERT_TRUE(run.encoding());
      EXPECT_EQ(run.encoding()->name(), c.encoding);
      const int i = mode == RunMode::SinglePass;
      outputs[i] = readBytes(dir.file("notes_PL.txt"));
      for (const auto& message : window.messages) messages[i].push_back(message.text);
    }
    EXPECT_EQ(outputs[1], outputs[0]);
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[1].size(), 2u);
  }
}

}  // namespace
}  // namespace pellumar
