#include "cli/batch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tests/support/test_files.h"

namespace pellumar::cli {
namespace {

using Groups = std::vector<std::vector<std::size_t>>;
using Files = std::vector<std::string>;

TEST(GroupFilesTest, GroupsFilesThatShareAName) {
  const std::string here = std::filesystem::current_path().string();
  const struct {
    Files files;
    Groups groups;
    const char* suffix = "_PL";
  } cases[] = {
      {{"a.srt", "b.srt", "c.sub"}, {{0}, {1}, {2}}},
      {{"a.srt", "b.srt", "a.srt"}, {{0, 2}, {1}}},
      {{"a_PL.srt", "b.srt", "a.srt"}, {{0, 2}, {1}}},
      {{"x.srt", "y.srt", "x_PL.srt", "x_PL_PL.srt"}, {{0, 2, 3}, {1}}},
      {{"./a.srt", "b/../a.srt", "a.srt"}, {{0, 1, 2}}},
      {{"a.srt", "a.sub", "a.txt"}, {{0}, {1}, {2}}},
      {{"notes", "notes_PL", "notes.txt"}, {{0, 1}, {2}}},
      {{"d/.hidden_PL", "d/.hidden"}, {{0, 1}}},
      {{"sub/../m.srt", "m_PL.srt", "n.srt"}, {{0, 1}, {2}}},
      {{"s.srt", "s_PL_22.srt"}, {{0, 1}}},   // one reads the staging file the other writes
      {{"s.srt", "s_PL.srt.log"}, {{0, 1}}},  // ... or the skip log
      {{}, {}},
      {{"a.srt", "a_PL.srt", "a_fix.srt"}, {{0, 2}, {1}}, "_fix"},
      {{"a.srt", here + "/a.srt", here + "//./a_PL.srt"}, {{0, 1, 2}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files.empty() ? "" : c.files.back());
    EXPECT_EQ(groupFiles(c.files, c.suffix), c.groups);
  }
}

TEST(GroupFilesTest, SymlinkedFolderMeetsItsTarget) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  std::filesystem::create_directory_symlink(dir.path() / "real", dir.path() / "link");
  testing::writeBytes(dir.file("real/a.srt"), "x\r\n");
  EXPECT_EQ(groupFiles({dir.file("real/a.srt"), dir.file("link/a.srt")}, "_PL"), (Groups{{0, 1}}));
}

Files names(std::size_t count) {
  Files files;
  for (std::size_t i = 0; i < count; ++i) files.push_back("f" + std::to_string(i));
  return files;
}

FileReport reportFor(const std::string& file) { return {"err " + file + "\n", file + "\n", true}; }

// Runs the batch: the reports' text in the order the sink got them, which
// must be on the calling thread, then "=" and how many were not processed.
std::string runAndCollect(const Files& files, const Groups& groups, unsigned jobs,
                          const FileTask& task) {
  std::string text;
  const std::thread::id caller = std::this_thread::get_id();
  const std::size_t notProcessed = runBatch(files, groups, jobs, task, [&](auto reports) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    for (const auto& report : reports) text += report.errorText + report.progressText;
  });
  return text + "=" + std::to_string(notProcessed);
}

// Files of a group run one after another in their order (with one job, all
// in command-line order); earlier files take longer, so they tend to finish
// last, yet the reports keep the command-line order.
TEST(RunBatchTest, GroupsRunInOrderAndReportsKeepTheCommandLineOrder) {
  const Groups groups = {{0, 3, 5}, {1, 7}, {2}, {4, 6}};
  const int groupOf[] = {0, 1, 2, 0, 3, 0, 3, 1};
  std::string expected;
  for (const auto& file : names(8)) expected += "err " + file + "\n" + file + "\n";
  for (const unsigned jobs : {1u, 2u, 3u, 16u}) {
    SCOPED_TRACE(jobs);
    std::mutex mutex;
    std::string log;  // "+i" when file i starts, "-i" when it ends
    const auto task = [&](const std::string& file) {
      const auto mark = [&](char what) {
        const std::lock_guard lock(mutex);
        log += {what, file[1]};
      };
      mark('+');
      std::this_thread::sleep_for(std::chrono::milliseconds(2 * ('8' - file[1])));
      mark('-');
      return reportFor(file);
    };
    EXPECT_EQ(runAndCollect(names(8), groups, jobs, task), expected + "=0");
    EXPECT_TRUE(jobs > 1 || log == "+0-0+1-1+2-2+3-3+4-4+5-5+6-6+7-7") << log;
    for (const auto& group : groups) {
      std::string seen, inOrder;
      for (std::size_t i = 0; i < log.size(); i += 2) {
        if (groupOf[log[i + 1] - '0'] == groupOf[group[0]]) seen += log.substr(i, 2);
      }
      for (const auto index : group)
        inOrder += "+" + std::to_string(index) + "-" + std::to_string(index);
      EXPECT_EQ(seen, inOrder);
    }
  }
}

// Counts the files not processed, including those whose task threw.
TEST(RunBatchTest, ATaskThatThrowsIsReportedAndTheOthersRun) {
  for (const unsigned jobs : {1u, 3u}) {
    const auto task = [](const std::string& file) -> FileReport {
      if (file == "f2") throw std::runtime_error("Cannot read \"f2\".");
      if (file == "f3") throw 3;
      return {"err " + file + "\n", file + "\n", file != "f0"};
    };
    EXPECT_EQ(runAndCollect(names(5), {{0}, {1}, {2}, {3}, {4}}, jobs, task),
              "err f0\nf0\nerr f1\nf1\npellumar-cli: f2: Cannot read \"f2\".\n"
              "pellumar-cli: f3: Unexpected error.\nerr f4\nf4\n=3");
  }
}

// Each task waits until the other has started: only passes when both run at
// the same time.
TEST(RunBatchTest, SeveralJobsRunAtOnce) {
  std::atomic<int> running{0};
  runAndCollect(names(2), {{0}, {1}}, 2, [&](const std::string& file) {
    ++running;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (running < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(running, 2) << "ran one after the other";
    return reportFor(file);
  });
}

TEST(RunBatchTest, RejectsGroupsThatMissAFile) {
  EXPECT_THROW(runBatch(names(3), {{0}, {2}}, 2, reportFor, {}), std::invalid_argument);
  EXPECT_THROW(runBatch(names(2), {{0, 1}, {1}}, 2, reportFor, {}), std::invalid_argument);
}

}  // namespace
}  // namespace pellumar::cli
