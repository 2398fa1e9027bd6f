#include "cli/batch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "tests/support/test_files.h"

namespace pellumar::cli {
namespace {

using Groups = std::vector<std::vector<std::size_t>>;

struct GroupCase {
  const char* name;
  std::vector<std::string> files;
  Groups groups;
  const char* suffix = "_PL";
};

class GroupTest : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupTest, GroupsFilesThatShareAName) {
  EXPECT_EQ(groupFiles(GetParam().files, GetParam().suffix), GetParam().groups);
}

INSTANTIATE_TEST_SUITE_P(
    Grouping, GroupTest,
    ::testing::Values(
        GroupCase{"Independent", {"a.srt", "b.srt", "c.sub"}, {{0}, {1}, {2}}},
        GroupCase{"SameFileTwice", {"a.srt", "b.srt", "a.srt"}, {{0, 2}, {1}}},
        GroupCase{"OutputOfAnother", {"a_PL.srt", "b.srt", "a.srt"}, {{0, 2}, {1}}},
        GroupCase{"Chain", {"x.srt", "y.srt", "x_PL.srt", "x_PL_PL.srt"}, {{0, 2, 3}, {1}}},
        GroupCase{"SameOutputOtherSpelling", {"./a.srt", "b/../a.srt", "a.srt"}, {{0, 1, 2}}},
        GroupCase{"SameStemOtherExtension", {"a.srt", "a.sub", "a.txt"}, {{0}, {1}, {2}}},
        GroupCase{"NoExtension", {"notes", "notes_PL", "notes.txt"}, {{0, 1}, {2}}},
        GroupCase{"HiddenName", {"d/.hidden_PL", "d/.hidden"}, {{0, 1}}},
        GroupCase{"DotDotThroughSubfolder", {"sub/../m.srt", "m_PL.srt", "n.srt"}, {{0, 1}, {2}}},
        // One reads the staging file the other writes.
        GroupCase{"StagingOfAnother", {"s.srt", "s_PL_22.srt"}, {{0, 1}}},
        // One reads the skip log the other writes.
        GroupCase{"LogOfAnother", {"s.srt", "s_PL.srt.log"}, {{0, 1}}},
        GroupCase{"NoFiles", {}, {}},
        // The settings' suffix decides the output's name.
        GroupCase{"OtherSuffix", {"a.srt", "a_PL.srt", "a_fix.srt"}, {{0, 2}, {1}}, "_fix"},
        GroupCase{"AbsoluteAndRelativeNamesMeet",
                  {"a.srt", std::filesystem::current_path().string() + "/a.srt",
                   std::filesystem::current_path().string() + "//./a_PL.srt"},
                  {{0, 1, 2}}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(GroupFilesTest, SymlinkedFolderMeetsItsTarget) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  std::filesystem::create_directory_symlink(dir.path() / "real", dir.path() / "link");
  testing::writeBytes(dir.file("real/a.srt"), "x\r\n");
  EXPECT_EQ(groupFiles({dir.file("real/a.srt"), dir.file("link/a.srt")}, "_PL"), (Groups{{0, 1}}));
}

// --- runBatch ---

std::vector<std::string> names(std::size_t count) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < count; ++i) files.push_back("f" + std::to_string(i));
  return files;
}

Groups singletons(std::size_t count) {
  Groups groups;
  for (std::size_t i = 0; i < count; ++i) groups.push_back({i});
  return groups;
}

FileReport reportFor(const std::string& file) { return {"err " + file + "\n", file + "\n", true}; }

struct Collected {
  std::string text;
  std::thread::id thread;
  bool sameThread = true;
};

ReportSink collectInto(Collected& collected) {
  collected.thread = std::this_thread::get_id();
  return [&collected](std::span<const FileReport> reports) {
    if (std::this_thread::get_id() != collected.thread) collected.sameThread = false;
    for (const auto& report : reports) collected.text += report.errorText + report.progressText;
  };
}

std::string expectedText(const std::vector<std::string>& files) {
  std::string text;
  for (const auto& file : files) text += "err " + file + "\n" + file + "\n";
  return text;
}

class RunBatchTest : public ::testing::TestWithParam<unsigned> {};

// Files of a group run one after another in their order (with one job, all
// files in command-line order); earlier files take
// longer, so they tend to finish last, yet the reports keep the command-line
// order and reach the sink on the caller's thread.
TEST_P(RunBatchTest, GroupsRunInOrderAndReportsKeepTheCommandLineOrder) {
  const auto files = names(8);
  const Groups groups = {{0, 3, 5}, {1, 7}, {2}, {4, 6}};
  std::vector<int> groupOf(files.size());
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (const auto index : groups[g]) groupOf[index] = static_cast<int>(g);
  }
  std::mutex mutex;
  std::set<int> busyGroups;
  std::vector<std::size_t> started;
  bool overlapped = false;
  Collected collected;
  const auto notProcessed = runBatch(
      files, groups, GetParam(),
      [&](const std::string& file) {
        const std::size_t index = std::stoul(file.substr(1));
        {
          const std::lock_guard lock(mutex);
          if (!busyGroups.insert(groupOf[index]).second) overlapped = true;
          started.push_back(index);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * (8 - index)));
        {
          const std::lock_guard lock(mutex);
          busyGroups.erase(groupOf[index]);
        }
        return reportFor(file);
      },
      collectInto(collected));
  EXPECT_FALSE(overlapped);
  if (GetParam() == 1) {
    EXPECT_EQ(started, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
  }
  for (const auto& group : groups) {
    std::vector<std::size_t> order;
    for (const auto index : started) {
      if (groupOf[index] == groupOf[group.front()]) order.push_back(index);
    }
    EXPECT_EQ(order, group);
  }
  EXPECT_EQ(notProcessed, 0u);
  EXPECT_EQ(collected.text, expectedText(files));
  EXPECT_TRUE(collected.sameThread);
}

// Counts the files not processed, including one whose task threw.
TEST_P(RunBatchTest, ATaskThatThrowsIsReportedAndTheOthersRun) {
  const auto files = names(4);
  Collected collected;
  const auto notProcessed = runBatch(
      files, singletons(files.size()), GetParam(),
      [](const std::string& file) -> FileReport {
        if (file == "f2") throw std::runtime_error("Cannot read \"f2\".");
        FileReport report = reportFor(file);
        report.processed = file != "f0";
        return report;
      },
      collectInto(collected));
  EXPECT_EQ(notProcessed, 2u);
  EXPECT_EQ(collected.text,
            "err f0\nf0\nerr f1\nf1\npellumar-cli: f2: Cannot read \"f2\".\n"
            "err f3\nf3\n");
}

INSTANTIATE_TEST_SUITE_P(Jobs, RunBatchTest, ::testing::Values(1u, 2u, 3u, 16u));

TEST(RunBatchTest, SeveralJobsRunAtOnce) {
  // Each task waits until the other has started: only passes when both run
  // at the same time.
  std::atomic<int> running{0};
  std::atomic<bool> timedOut{false};
  Collected collected;
  runBatch(
      names(2), singletons(2), 2,
      [&](const std::string& file) {
        ++running;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (running.load() < 2) {
          if (std::chrono::steady_clock::now() > deadline) {
            timedOut = true;
            break;
          }
          std::this_thread::yield();
        }
        return reportFor(file);
      },
      collectInto(collected));
  EXPECT_FALSE(timedOut);
}

TEST(RunBatchTest, RejectsGroupsThatMissAFile) {
  Collected collected;
  EXPECT_THROW(runBatch(names(3), {{0}, {2}}, 2, reportFor, collectInto(collected)),
               std::invalid_argument);
  EXPECT_THROW(runBatch(names(2), {{0, 1}, {1}}, 2, reportFor, collectInto(collected)),
               std::invalid_argument);
}

}  // namespace
}  // namespace pellumar::cli
