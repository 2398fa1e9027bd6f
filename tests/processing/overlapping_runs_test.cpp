// Runs on one file that overlap, runs killed midway, and what they leave.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <set>
#include <thread>

#include "processing/files/file_descriptor.h"
#include "tests/support/mode_comparison.h"

namespace pellumar {
namespace {

using namespace testing;

// A run in a child process; its exit status says whether it cleaned the file.
template <typename Run>
pid_t startChild(Run run) {
  const pid_t pid = fork();
  if (pid == 0) _exit(run() ? 0 : 1);
  return pid;
}

bool cleanedIn(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

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

class RunsOnOneFile : public ::testing::TestWithParam<RunMode> {
 protected:
  RunsOnOneFile() { writeBytes(input, subtitles(4000)); }

  bool runOnce(PassSet passes = PassSet::all()) {
    return clean({settings, input, passes, GetParam()}).cleaned();
  }

  // Output, log and every name in the folder.
  std::string state() const {
    return readIfFile(output).value_or("-") + readIfFile(output + ".log").value_or("-") +
           listFolder(dir.path());
  }

  TempDir dir;
  // "a" -> "aa" is not idempotent: a pass that read what another run's pass
  // wrote would show twice.
  const Settings settings{{{"ą", "a"}}, {{"a", "aa"}}};
  const std::string input = dir.file("movie.srt"), output = dir.file("movie_PL.srt");
};

// Two runs at once, in two threads or two processes, many times: both clean
// the file, and what stands at the end is one complete result, with nothing
// temporary beside it.
TEST_P(RunsOnOneFile, TwoAtOnceEachEndWithACompleteResult) {
  ASSERT_TRUE(runOnce());
  const std::string expected = state();
  ASSERT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
  for (int round = 0; round < 24; ++round) {
    bool first = false, second = false;
    if (round % 2 == 0) {
      std::jthread other([&] { first = runOnce(); });
      second = runOnce();
    } else {
      const pid_t child = startChild([this] { return runOnce(); });
      second = runOnce();
      first = cleanedIn(child);
    }
    EXPECT_TRUE(first && second) << "round " << round;
    ASSERT_TRUE(state() == expected) << "round " << round << ": " << listFolder(dir.path());
  }
}

// A run killed at any moment leaves the earlier output (single pass) or the
// result of a pass that finished (staged run), never a torn file; the next
// run removes what the killed one left.
TEST_P(RunsOnOneFile, KilledRunsLeaveAFinishedStateForTheNextRunToClean) {
  writeBytes(input, subtitles(40000));
  std::set<std::string> finished{"earlier\r\n"};
  std::chrono::steady_clock::duration whole{};
  // Up to each of the first three passes; the kills come in runs of all three.
  for (const unsigned passes : {1u, 3u, 7u}) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(runOnce(passesFrom(passes)));
    whole = std::chrono::steady_clock::now() - start;
    if (GetParam() == RunMode::Staged || passes == 7) finished.insert(*readIfFile(output));
  }
  const std::optional<std::string> complete = readIfFile(output);
  int interrupted = 0;
  for (int round = 0; round < 8; ++round) {
    writeBytes(output, "earlier\r\n");
    const pid_t child = startChild([this] { return runOnce(passesFrom(7)); });
    // From the moment the child has begun writing, so that a slow start on a
    // busy machine does not let every kill come before the run.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (round > 0 && listFolder(dir.path()).find(".tmp") == std::string::npos &&
           std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::this_thread::sleep_for(whole * std::max(round - 1, 0) / 6);
    kill(child, SIGKILL);
    cleanedIn(child);
    ASSERT_TRUE(finished.contains(readIfFile(output).value_or(""))) << "round " << round;
    interrupted += listFolder(dir.path()).find(".tmp") != std::string::npos;
    ASSERT_TRUE(runOnce(passesFrom(7)));
    EXPECT_EQ(readIfFile(output), complete);
    EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt") << "round " << round;
  }
  EXPECT_GT(interrupted, 0) << "no kill came in the middle of a run";
}

// A file at one of the run's own names goes when nobody holds it locked, as
// a dead run's leftover; a locked one belongs to a live run and stays as it
// is, until its run is gone.
TEST_P(RunsOnOneFile, LeftoversGoOnlyWhenNoLiveRunHoldsThem) {
  const std::string live = dir.file("movie_PL_22.srt.1.tmp");
  for (const char* name :
       {"movie_PL_22.srt.1.tmp", "movie_PL_22.srt.3.tmp", "movie_PL.srt.log.1.tmp"})
    writeBytes(dir.file(name), "left\r\n");
  FileDescriptor held(open(live.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(flock(held.get(), LOCK_EX), 0);
  ASSERT_TRUE(runOnce());
  EXPECT_EQ(listFolder(dir.path()),
            "movie.srt movie_PL.srt movie_PL.srt.log movie_PL_22.srt.1.tmp");
  EXPECT_EQ(readBytes(live), "left\r\n");
  held = FileDescriptor();
  ASSERT_TRUE(runOnce());
  EXPECT_EQ(listFolder(dir.path()), "movie.srt movie_PL.srt movie_PL.srt.log");
}

INSTANTIATE_TEST_SUITE_P(Modes, RunsOnOneFile,
                         ::testing::Values(RunMode::Staged, RunMode::SinglePass),
                         modeName<::testing::TestParamInfo<RunMode>>);

}  // namespace
}  // namespace pellumar
