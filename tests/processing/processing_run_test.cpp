#include "processing/run/processing_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/processing/system_faults.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/run_ways.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using testing::listFolder;
using testing::readBytes;
using testing::writeBytes;

const char* const kFrames = "{1}{2}a\n{1}{2}\n{3}{4}b\n{5}{6}c\n{7}{8}d\n";
const char* const kFramesCleaned = "{1}{2}a\r\n{3}{4}b\r\n{5}{6}c\r\n{7}{8}d\r\n";

// What every run must keep, in both ways of running: the chosen file is never
// written, no staging file stays, and the window hears exactly one answer.
class RunContract : public ::testing::TestWithParam<testing::RunWay> {
 protected:
  RunContract() {
    settings.localChars = {{"ą", "a"}, {"ł", "l"}};
    settings.replacements = {{"teh", "the"}};
    window.chosenFile = input;
  }

  RunOutcome run() { return GetParam().runner(settings, window).run(); }

  RunOutcome runOn(const std::string& bytes) {
    writeBytes(input, bytes);
    const auto before = std::filesystem::last_write_time(input);
    const RunOutcome outcome = run();
    EXPECT_EQ(readBytes(input), bytes) << "the chosen file changed";
    EXPECT_EQ(std::filesystem::last_write_time(input), before) << "modification time changed";
    EXPECT_EQ(listFolder(dir.path()).find(".tmp"), std::string::npos) << "staging file left";
    EXPECT_TRUE(window.buttonEnabled);
    return outcome;
  }

  // The text of the one message shown.
  std::string message() {
    EXPECT_EQ(window.messages.size(), 1u);
    return window.messages.empty() ? "" : window.messages[0].text;
  }

  std::string file(const char* name) { return readBytes(dir.file(name)); }

  testing::TempDir dir;
  Settings settings;
  testing::FakeWindowSystem window;
  std::string input = dir.file("movie.srt");
};

// With the starting boxes: the file keeps its encoding and byte-order mark,
// and a later run replaces the earlier one's output. With every box clear
// the run copies the file with CR LF.
TEST_P(RunContract, CleansInTheFilesOwnEncoding) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"teh ąła\n", "the ala\r\n"},
      {"", ""},
      // windows-1250, with a byte the code page leaves undefined
      {"teh \xB9\xB3"
       "a \x81\r\n",
       "the ala \x81\r\n"},
      {"\xFF\xFEt\0e\0h\0\n\0"s, "\xFF\xFEt\0h\0e\0\r\0\n\0"s},
      {"\xEF\xBB\xBFteh\r\n", "\xEF\xBB\xBFthe\r\n"}};
  for (const auto& [bytes, cleaned] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(runOn(bytes), RunOutcome::Done);
    EXPECT_EQ(file("movie_PL.srt"), cleaned);
    EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt");
    window.messages.clear();
  }
  window.ticked.clear();
  EXPECT_EQ(runOn("teh ą\nb\rc\r\n"), RunOutcome::Done);
  EXPECT_EQ(file("movie_PL.srt"), "teh ą\r\nb\r\nc\r\n");
  EXPECT_EQ(message(), "Done.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(window.messages[0].title, std::optional<std::string>("Pellumar"));
}

// A cancelled dialog or a name that is no file does nothing; a name that is
// a file when checked but cannot be read fails with a message.
TEST_P(RunContract, CancelledDialogDoesNothingAndAnUnreadableFileFails) {
  writeBytes(input, "x");
  for (const std::string& chosen : {std::string(), dir.file("gone.srt"), dir.path().string()}) {
    window.chosenFile = chosen;
    EXPECT_EQ(run(), RunOutcome::NothingChosen);
  }
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(listFolder(dir.path()), "movie.srt");
  window.chosenFile = "/proc/self/mem";
  EXPECT_EQ(run(), RunOutcome::Failed);
  EXPECT_NE(message().find("/proc/self/mem"), std::string::npos);
  EXPECT_TRUE(window.buttonEnabled);
}

TEST_P(RunContract, FolderAtTheOutputNameFails) {
  std::filesystem::create_directory(dir.file("movie_PL.srt"));
  EXPECT_EQ(runOn("x\n"), RunOutcome::Failed);
  EXPECT_NE(message().find("movie_PL.srt"), std::string::npos);
  EXPECT_TRUE(window.messages[0].buttonEnabled);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("movie_PL.srt")));
}

// An earlier output is replaced by swapping names, or by a rename where the
// file system cannot swap them or another program holds it locked; either
// way a second name of the old output keeps it.
TEST_P(RunContract, ReplacesTheEarlierOutputAlsoWhereNamesCannotBeSwapped) {
  writeBytes(dir.file("movie_PL.srt"), "old output");
  std::filesystem::create_hard_link(dir.file("movie_PL.srt"), dir.file("kept.srt"));
  for (const char* way : {"swap", "no swap", "locked"}) {
    SCOPED_TRACE(way);
    const int locked = ::open(dir.file("movie_PL.srt").c_str(), O_RDONLY);
    if (way == std::string("locked")) ::flock(locked, LOCK_EX);
    SystemFaults calls({.error = EINVAL, .failSwap = way == std::string("no swap")});
    EXPECT_EQ(runOn("teh\n"), RunOutcome::Done);
    ::close(locked);
    EXPECT_EQ(file("movie_PL.srt"), "the\r\n");
    EXPECT_EQ(file("kept.srt"), "old output");
    EXPECT_EQ(listFolder(dir.path()), "kept.srt movie.srt movie_PL.srt");
    window.messages.clear();
  }
}

// Symlinks at the derived names are not written through. The first run has
// no standard input, so files it opens may get descriptor 0, a file like any
// other: used, and closed again. In the second each read and write is first
// interrupted by a signal and moves three bytes at most. Both runs go on as
// if nothing were different.
TEST_P(RunContract, SymlinksDescriptorZeroAndInterruptedCallsDoNotChangeTheResult) {
  writeBytes(dir.file("victim.txt"), "keep");
  for (const char* name : {"movie_PL.srt", "movie_PL_22.srt.1.tmp", "movie_PL.srt.log"}) {
    std::filesystem::create_symlink(dir.file("victim.txt"), dir.file(name));
  }
  window.ticked[Option::DeleteBlankSubtitles] = true;
  for (const std::size_t interrupted : {0, 3}) {
    const int savedInput = ::dup(0);
    if (interrupted == 0) ::close(0);
    SystemFaults calls({.interruptedSize = interrupted});
    EXPECT_EQ(runOn(kFrames), RunOutcome::Done);
    EXPECT_EQ(::fcntl(0, F_GETFD) == -1, interrupted == 0) << "descriptor 0 left open";
    ::dup2(savedInput, 0);
    ::close(savedInput);
    EXPECT_EQ(file("victim.txt"), "keep");
    EXPECT_EQ(file("movie_PL.srt"), kFramesCleaned);
    EXPECT_EQ(file("movie_PL.srt.log"), "Skipped line : {1}{2}\r\n");
  }
}

// A file small enough for one read is read once, for its encoding, its kind
// and the pass: one read gives its bytes, the next finds the end. A larger
// one is read whole, in the encoding it was guessed to be in.
TEST_P(RunContract, ReadsASmallFileOnceAndALargeOneWhole) {
  window.tick(~0u);
  input = window.chosenFile = dir.file("movie.sub");
  {
    SystemFaults calls({});
    EXPECT_EQ(runOn(kFrames), RunOutcome::Done);
    if (GetParam().singlePass()) {
      EXPECT_EQ(calls.reads, 2);
    }
  }
  EXPECT_EQ(file("movie_PL.sub"), kFramesCleaned);
  std::string large, cleaned;
  for (int i = 0; i < 20000; ++i) {
    const std::string frame = "{" + std::to_string(i) + "}{1}";
    large += frame + "teh \xB9\xB3\n";
    cleaned += frame + "the al\r\n";
  }
  EXPECT_EQ(runOn(large), RunOutcome::Done);
  EXPECT_EQ(file("movie_PL.sub"), cleaned);
  // A large UTF-8 file is checked as it is read, and what the passes had to
  // say about it is shown once it has proved to be UTF-8.
  window.messages.clear();
  EXPECT_EQ(runOn(std::string(70000, 'x')), RunOutcome::Done);
  ASSERT_EQ(window.messages.size(), 3u);
  EXPECT_EQ(window.messages[0].text.rfind("Unknown subtitle type.", 0), 0u);
  // One that stops being UTF-8 after the first piece is windows-1250.
  EXPECT_EQ(runOn(std::string(70000, 'x') + "\n\xB9\n"), RunOutcome::Done);
  EXPECT_EQ(file("movie_PL.sub"), std::string(70000, 'x') + "\r\na\r\n");
}

// A failed run leaves what an earlier run made as it was: it may be another
// run's finished work.
TEST_P(RunContract, FullDiskInTheFirstWriteLeavesTheEarlierFiles) {
  writeBytes(dir.file("movie_PL.srt"), "old output");
  writeBytes(dir.file("movie_PL.srt.log"), "old log");
  window.ticked[Option::DeleteBlankSubtitles] = true;
  SystemFaults calls({.error = ENOSPC, .writeToFail = 1});
  EXPECT_EQ(runOn(kFrames), RunOutcome::Failed);
  EXPECT_EQ(message(),
            "Cannot write \"" + dir.file("movie_PL.srt") + "\": No space left on device.");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(file("movie_PL.srt"), "old output");
  EXPECT_EQ(file("movie_PL.srt.log"), "old log");
  EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
}

// A read-only folder, which root (as tests run) writes all the same; and a
// rename that fails.
TEST_P(RunContract, FailingCreateOrRenameLeavesTheEarlierOutput) {
  writeBytes(dir.file("movie_PL.srt"), "old output");
  {
    SystemFaults calls({.error = EACCES, .failCreate = true});
    EXPECT_EQ(runOn("teh\n"), RunOutcome::Failed);
    EXPECT_EQ(message(),
              "Cannot create \"" + dir.file("movie_PL_22.srt.1.tmp") + "\": Permission denied.");
  }
  window.messages.clear();
  SystemFaults calls({.error = EXDEV, .failRename = true});
  EXPECT_EQ(runOn("teh\n"), RunOutcome::Failed);
  EXPECT_NE(message().find("movie_PL.srt"), std::string::npos);
  EXPECT_EQ(file("movie_PL.srt"), "old output");
  EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt");
}

// With this suffix the run's first staging file would be the chosen file,
// which holds no lock and so would look like a leftover.
TEST_P(RunContract, SuffixThatPutsAStagingFileOnTheChosenFileFails) {
  settings.nameSuffix = "/../G";
  window.chosenFile = dir.file("G_22.tmp.1.tmp");
  writeBytes(window.chosenFile, "x\n");
  std::filesystem::create_directory(dir.file("G_22.tmp.1"));
  EXPECT_EQ(run(), RunOutcome::Failed);
  EXPECT_EQ(message(), "Cannot clean \"" + window.chosenFile +
                           "\": the output name would replace the chosen file.");
  EXPECT_EQ(readBytes(window.chosenFile), "x\n");
}

// A failure in a later pass: the staged run keeps the passes finished before
// it in the output, the single pass leaves none. First a replacement writes a
// character windows-1250 cannot hold (a later pass would remove it again, too
// late), then the second pass's write fails.
TEST_P(RunContract, FailureInALaterPassKeepsOnlyTheStagedRunsFinishedPasses) {
  settings.replacements = {{"teh", "{☃}"}};
  window.ticked[Option::RemoveFormattingCodes] = true;
  const bool staged = !GetParam().singlePass();
  EXPECT_EQ(runOn("\xB9\r\nteh\r\n"), RunOutcome::Failed);
  EXPECT_EQ(message().substr(message().find("line")),
            "line 2 holds the character \"☃\" (U+2603), which the code page windows-1250 "
            "cannot hold.");
  EXPECT_EQ(listFolder(dir.path()), staged ? "movie.srt movie_PL.srt" : "movie.srt");
  if (staged) {
    EXPECT_EQ(file("movie_PL.srt"), "a\r\nteh\r\n");
  }
  // The same far into a large file, where threads take turns at the lines.
  std::string many;
  for (int i = 0; i < 30000; ++i) many += "\xB9\r\n";
  window.messages.clear();
  EXPECT_EQ(runOn(many + "teh\r\n" + many), RunOutcome::Failed);
  EXPECT_EQ(message().substr(message().find("line")),
            "line 30001 holds the character \"☃\" (U+2603), which the code page windows-1250 "
            "cannot hold.");
  if (!staged) return;
  std::string finished;
  for (int i = 0; i < 30000; ++i) finished += "a\r\n";
  EXPECT_EQ(file("movie_PL.srt"), finished + "teh\r\n" + finished);
  window.messages.clear();
  SystemFaults calls({.error = EIO, .writeToFail = 2});
  EXPECT_EQ(runOn("ą\n"), RunOutcome::Failed);
  EXPECT_EQ(file("movie_PL.srt"), "a\r\n");
  EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt");
}

INSTANTIATE_TEST_SUITE_P(AllWays, RunContract,
                         ::testing::Values(testing::kStaged, testing::kSinglePass,
                                           testing::kThreaded, testing::kStagedThreaded),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace pellumar
