// Runs on one file that overlap, runs killed midway, and what they leave.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <set>
#include <thread>

#include "processing/file_ops.h"
#include "processing/run/processing_run.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/run_ways.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using testing::listFolder;
using testing::readBytes;
using testing::writeBytes;

// SubRip subtitles, every fifth without text.
std::string subtitles(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += std::to_string(i) + "\n00:00:01,000 --> 00:00:02,000\n";
    if (i % 5 != 0) text += "{y:i}ąla ma kota , <i>a</i>\n- ala\n";
    text += "\n";
  }
  return text;
}

class RunsOnOneFile : public ::testing::TestWithParam<testing::RunWay> {
 protected:
  RunsOnOneFile() {
    // "a" -> "aa" is not idempotent: a pass that read what another run's
    // pass wrote would show twice.
    settings.localChars = {{"ą", "a"}};
    settings.replacements = {{"a", "aa"}};
  }

  // Bit i of `options` ticks the option of pass i.
  RunOutcome runOnce(unsigned options = 0x3F) {
    testing::FakeWindowSystem window;
    window.chosenFile = input;
    window.tick(options);
    return GetParam().runner(settings, window).run();
  }

  std::optional<std::string> output(const char* name = "movie_PL.srt") const {
    if (!std::filesystem::exists(dir.file(name))) return std::nullopt;
    return readBytes(dir.file(name));
  }

  // Output, log and every name in the folder.
  std::string state() const {
    return output().value_or("(none)") + "|" + output("movie_PL.srt.log").value_or("") + "|" +
           listFolder(dir.path());
  }

  testing::TempDir dir;
  Settings settings;
  std::string input = dir.file("movie.srt");
};

// A run in a child process; its exit status says whether it ended Done.
pid_t startChild(const std::function<RunOutcome()>& run) {
  const pid_t pid = fork();
  if (pid == 0) _exit(run() == RunOutcome::Done ? 0 : 1);
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Two runs at once, in two threads or two processes, many times: both end
// Done, and what stands at the end is one complete result, with nothing
// temporary beside it.
TEST_P(RunsOnOneFile, TwoAtOnceEachEndWithACompleteResult) {
  writeBytes(input, subtitles(4000));
  ASSERT_EQ(runOnce(), RunOutcome::Done);
  const std::string expected = state();
  ASSERT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
  for (const bool inProcesses : {false, true}) {
    for (int round = 0; round < 12; ++round) {
      RunOutcome first = RunOutcome::Failed, second = RunOutcome::Failed;
      if (inProcesses) {
        const pid_t child = startChild([this] { return runOnce(); });
        second = runOnce();
        first = waitFor(child) == 0 ? RunOutcome::Done : RunOutcome::Failed;
      } else {
        std::jthread other([&] { first = runOnce(); });
        second = runOnce();
      }
      SCOPED_TRACE(::testing::Message() << (inProcesses ? "processes " : "threads ") << round);
      EXPECT_EQ(first, RunOutcome::Done);
      EXPECT_EQ(second, RunOutcome::Done);
      // Not printed: the files are large.
      ASSERT_TRUE(state() == expected) << listFolder(dir.path());
    }
  }
}

// A run killed at any moment leaves the earlier output (single pass) or the
// result of a pass that finished (staged run), never a torn file; the next
// run removes what the killed one left.
TEST_P(RunsOnOneFile, KilledRunLeavesAFinishedStateForTheNextRunToClean) {
  // The options up to each of the first three passes; the kills come in runs
  // of all three.
  constexpr unsigned all = 7;
  writeBytes(input, subtitles(40000));
  std::set<std::string> finished{"earlier\r\n"};
  std::chrono::steady_clock::duration whole{};
  for (const unsigned options : {1u, 3u, all}) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(runOnce(options), RunOutcome::Done);
    whole = std::chrono::steady_clock::now() - start;
    if (!GetParam().singlePass() || options == all) finished.insert(*output());
  }
  const std::string complete = *output();

  int interrupted = 0;
  constexpr int kRounds = 8;
  for (int round = 0; round < kRounds; ++round) {
    writeBytes(dir.file("movie_PL.srt"), "earlier\r\n");
    const pid_t child = startChild([this] { return runOnce(all); });
    if (round > 0) {
      // From the moment the child has begun writing, so that a slow start on
      // a busy machine does not let every kill come before the run.
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (listFolder(dir.path()).find(".tmp") == std::string::npos &&
             std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    }
    std::this_thread::sleep_for(whole * (round > 0 ? round - 1 : 0) / (kRounds - 2));
    kill(child, SIGKILL);
    waitFor(child);
    ASSERT_TRUE(output() && finished.contains(*output())) << "round " << round;
    if (listFolder(dir.path()).find(".tmp") != std::string::npos) ++interrupted;

    ASSERT_EQ(runOnce(all), RunOutcome::Done);
    EXPECT_EQ(output(), complete);
    EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt") << "round " << round;
  }
  EXPECT_GT(interrupted, 0) << "no kill came in the middle of a run";
}

// A file at one of the run's own names is a dead run's leftover when nobody
// holds it locked, and goes; a locked one belongs to a live run and stays.
TEST_P(RunsOnOneFile, LeftoversGoOnlyWhenNoLiveRunHoldsThem) {
  // Leftovers, "+" before a live one's name, and what stays of them.
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"movie_PL_22.srt.1.tmp", "movie_PL.srt.log.1.tmp"}, ""},
      {{"+movie_PL_22.srt.1.tmp", "+movie_PL.srt.log.1.tmp"},
       " movie_PL.srt.log.1.tmp movie_PL_22.srt.1.tmp"},
      {{"+movie_PL_22.srt.1.tmp", "movie_PL_22.srt.2.tmp"}, " movie_PL_22.srt.1.tmp"},
      {{"movie_PL_22.srt.1.tmp", "+movie_PL_22.srt.2.tmp", "movie_PL_22.srt.3.tmp"},
       " movie_PL_22.srt.2.tmp"}};
  writeBytes(input, subtitles(20));
  ASSERT_EQ(runOnce(), RunOutcome::Done);
  const std::string complete = *output();
  for (const auto& [leftovers, staying] : cases) {
    std::vector<FileDescriptor> held;
    std::vector<std::string> live;
    for (const std::string& leftover : leftovers) {
      const std::string path = dir.file(leftover.substr(leftover[0] == '+' ? 1 : 0));
      writeBytes(path, "left\r\n");
      if (leftover[0] != '+') continue;
      live.push_back(path);
      held.emplace_back(open(path.c_str(), O_RDONLY | O_CLOEXEC));
      ASSERT_EQ(flock(held.back().get(), LOCK_EX), 0);
    }
    ASSERT_EQ(runOnce(), RunOutcome::Done);
    EXPECT_EQ(output(), complete);
    EXPECT_EQ(listFolder(dir.path()),
              std::string("movie.srt movie_PL.srt movie_PL.srt.log") + staying);
    for (const std::string& path : live) EXPECT_EQ(readBytes(path), "left\r\n");
    // Once their runs are gone, the next run clears them.
    held.clear();
    ASSERT_EQ(runOnce(), RunOutcome::Done);
    EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
  }
}

INSTANTIATE_TEST_SUITE_P(AllWays, RunsOnOneFile,
                         ::testing::Values(testing::kStaged, testing::kSinglePass,
                                           testing::kThreaded, testing::kStagedThreaded),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace pellumar
