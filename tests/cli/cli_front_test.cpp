// The command line's own parts: grouping and running the FILEs, reading
// the options.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "cli/batch.h"
#include "cli/cli_options.h"
#include "tests/support/test_files.h"

namespace pellumar::cli {
namespace {

using Groups = std::vector<std::vector<std::size_t>>;
using Files = std::vector<std::string>;

// Links meet their targets: a linked folder, and a link at the name itself.
TEST(GroupFilesTest, GroupsFilesThatShareAName) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  std::filesystem::create_directory_symlink(dir.path() / "real", dir.path() / "link");
  std::filesystem::create_symlink(dir.path() / "real/a.srt", dir.path() / "b.srt");
  testing::writeBytes(dir.file("real/a.srt"), "x\r\n");
  const std::string here = std::filesystem::current_path().string();
  const struct {
    Files files;
    Groups groups;
    const char* suffix = "_PL";
  } cases[] = {
      {{"a.srt", "b.srt", "a.srt"}, {{0, 2}, {1}}},
      {{"a_PL.srt", "b.srt", "a.srt"}, {{0, 2}, {1}}},
      {{"x.srt", "y.srt", "x_PL.srt", "x_PL_PL.srt"}, {{0, 2, 3}, {1}}},
      {{"./a.srt", "b/../a.srt", "a.srt"}, {{0, 1, 2}}},
      {{"a.srt", "a.sub", "a.txt"}, {{0}, {1}, {2}}},
      {{"notes", "notes_PL", "notes.txt"}, {{0, 1}, {2}}},
      // One reads the staging file or the skip log the other writes.
      {{"s.srt", "s_PL_22.srt", "t.srt", "s_PL.srt.log"}, {{0, 1, 3}, {2}}},
      {{"a.srt", "a_PL.srt", "a_fix.srt"}, {{0, 2}, {1}}, "_fix"},
      {{"a.srt", here + "/a.srt", here + "//./a_PL.srt"}, {{0, 1, 2}}},
      {{dir.file("real/a.srt"), dir.file("c.srt"), dir.file("link/a.srt"), dir.file("b.srt")},
       {{0, 2, 3}, {1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files.back());
    EXPECT_EQ(groupFiles(c.files, c.suffix), c.groups);
  }
}

// Within a group FILEs run one after another in command-line order. With
// several jobs groups run at once: f0 waits until f5, of another group, has
// finished, and still the sink gets every outcome in command-line order, on
// the calling thread.
TEST(RunBatchTest, GroupsKeepTheirOrderAndOutcomesComeInCommandLineOrder) {
  const Files files = {"f0", "f1", "f2", "f3", "f4", "f5"};
  const Groups groups = {{0, 3}, {1, 5}, {2}, {4}};
  for (const unsigned jobs : {1u, 2u, 8u}) {
    SCOPED_TRACE(jobs);
    std::mutex mutex;
    std::condition_variable fileEnded;
    std::string log;  // "+i" when FILE i starts, "-i" when it ends
    const FileTask task = [&](std::size_t index) {
      const std::string& file = files[index];
      std::unique_lock lock(mutex);
      log += "+" + file.substr(1);
      if (jobs > 1 && file == "f0") {
        // Bounded only so that a batch running one FILE at a time fails rather than hangs.
        EXPECT_TRUE(fileEnded.wait_for(lock, std::chrono::minutes(1),
                                       [&] { return log.find("-5") != std::string::npos; }));
      }
      log += "-" + file.substr(1);
      fileEnded.notify_all();
      RunOutcome outcome;
      outcome.paths.inputPath = file;
      outcome.ending = file == "f2" ? RunOutcome::Ending::Failed : RunOutcome::Ending::Cleaned;
      return outcome;
    };
    std::string sunk;
    const std::thread::id caller = std::this_thread::get_id();
    const OutcomeSink sink = [&](std::span<const RunOutcome> outcomes) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      for (const RunOutcome& outcome : outcomes) sunk += outcome.paths.inputPath + " ";
    };
    runBatch(files, groups, jobs, task, sink);
    EXPECT_EQ(sunk, "f0 f1 f2 f3 f4 f5 ");
    EXPECT_TRUE(jobs > 1 || log == "+0-0+1-1+2-2+3-3+4-4+5-5") << log;
    EXPECT_LT(log.find("-0"), log.find("+3"));  // the groups' order
    EXPECT_LT(log.find("-1"), log.find("+5"));
  }
}

// A parse in short: one 0/1 per pass in the order they run (local
// characters, replace strings, remove codes, delete spaces, delete blank, fix
// SRT blank), then the other options and the FILEs; or the exit status and
// the first line printed.
std::string parse(std::vector<const char*> args, unsigned defaultJobs = 3) {
  args.insert(args.begin(), "pellumar-cli");
  const CommandLine line =
      parseCommandLine(static_cast<int>(args.size()), args.data(), defaultJobs);
  const std::string printed = line.out + line.err;
  if (!line.options)
    return std::to_string(line.exitStatus) + " " + printed.substr(0, printed.find('\n'));
  const CliOptions& options = *line.options;
  std::string text;
  for (const Pass& pass : passTable()) text += options.passes.contains(pass.id) ? '1' : '0';
  text += " -j" + std::to_string(options.jobs) + (options.quiet ? " -q" : "") +
          (options.verbose ? " -v" : "") + (options.mode == RunMode::Staged ? " --staged " : " ") +
          options.settingsFile.value_or("-");
  for (const auto& page : options.codePages.value_or(CodePageCandidates{}))
    text += " " + page->name();
  for (const auto& file : options.files) text += " " + file;
  return text;
}

TEST(CliOptionsTest, ReadsTheCommandLine) {
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"m.srt"}, "110000 -j3 - m.srt"},
      {{"--remove-codes", "--no-local-chars", "--delete-blank", "m.srt"}, "011010 -j3 - m.srt"},
      {{"--delete-spaces", "--no-replace-strings", "--fix-srt-blank", "m.srt"},
       "100101 -j3 - m.srt"},
      // A pass named on its own wins over --all, before or after it.
      {{"--no-local-chars", "--all", "--no-replace-strings", "m.srt"}, "001111 -j3 - m.srt"},
      {{"b.srt", "-q", "-v", "--staged", "-j", "4", "--settings", "my.ini", "./a.sub", "--codepage",
        "auto:cp1251,koi8-r", "dir/../c.txt", "b.srt"},
       "110000 -j4 -q -v --staged my.ini windows-1251 KOI8-R b.srt ./a.sub dir/../c.txt b.srt"},
      {{"-j", "0", "a.srt"}, "2 pellumar-cli: --jobs: N must be at least 1, not 0."},
      {{"--codepage", "nope", "a.srt"}, "2 pellumar-cli: --codepage: Unknown code page \"nope\"."},
  };
  for (const auto& [args, expected] : cases) EXPECT_EQ(parse(args), expected);
  EXPECT_EQ(parse({"a.srt"}, 0), "110000 -j1 - a.srt");
}

}  // namespace
}  // namespace pellumar::cli
