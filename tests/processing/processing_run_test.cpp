#include "processing/run/processing_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "processing/files/file_descriptor.h"
#include "processing/passes/blank_subtitles.h"
#include "processing/passes/subtitle_kind.h"
#include "tests/processing/system_faults.h"
#include "tests/support/mode_comparison.h"
#include "tests/support/stage_runner.h"

namespace pellumar {
namespace {

namespace fs = std::filesystem;
using namespace testing;

const char* const kFrames = "{1}{2}a\n{1}{2}\n{3}{4}b\n{5}{6}c\n{7}{8}d\n";

// "1|T|a" as a file: LF ends lines in the chosen file, CR LF in what a run writes.
std::string chosen(const std::string& lines) { return joinLines(split(lines), "\n"); }
std::string written(const std::string& lines) { return joinLines(split(lines)); }

// What every run keeps, in both modes: the chosen file is never written, and
// no file of the run's own stays.
class RunContract : public ::testing::TestWithParam<RunMode> {
 protected:
  RunOutcome runOn(const std::string& bytes, PassSet passes = PassSet::all()) {
    writeBytes(input, bytes);
    const auto before = fs::last_write_time(input);
    const RunOutcome outcome = clean({settings, input, passes, GetParam()});
    EXPECT_EQ(readBytes(input), bytes) << "the chosen file changed";
    EXPECT_EQ(fs::last_write_time(input), before) << "its modification time changed";
    EXPECT_EQ(listFolder(dir.path()).find(".tmp"), std::string::npos) << listFolder(dir.path());
    return outcome;
  }

  void earlierFiles(bool folderAtLog = false) {
    writeBytes(output, kEarlierOutput);
    if (folderAtLog) fs::create_directory(log);
    if (!folderAtLog) writeBytes(log, kEarlierLog);
  }

  TempDir dir;
  Settings settings{{{"ą", "a"}, {"ł", "l"}}, {{"teh", "the"}, {"snow", "☃"}}};
  const std::string input = dir.file("movie.srt"), output = dir.file("movie_PL.srt"),
                    log = output + ".log";
  const bool staged = GetParam() == RunMode::Staged;
};

PassSet only(PassId pass) { return PassSet::none().set(pass); }

// The output, named beside the chosen file, keeps its encoding and
// byte-order mark and replaces an earlier one; with no pass asked for, the
// run copies the file with CR LF. Each pass asked for alone: the chosen
// file's kind picks the branch, and an earlier log is replaced, removed when
// nothing is left out, or left alone where the pass does not work on the file.
TEST_P(RunContract, CleansInTheFilesOwnEncodingEachPassAlone) {
  // The skip log's entries, "|" between them (null: no log, "="; the earlier
  // one), and the caption of the pass that tells of a file of neither kind.
  const auto expect = [&](PassSet passes, const std::string& in, const std::string& out,
                          const char* entries = "=", const std::string& noteOf = "") {
    earlierFiles();
    const RunOutcome outcome = runOn(in, passes);
    const bool logged = entries && std::string(entries) != "=";
    EXPECT_TRUE(outcome.cleaned() && outcome.output == output &&
                outcome.log == (logged ? log : ""));
    EXPECT_EQ(readBytes(output), out) << in;
    EXPECT_EQ(readIfFile(log).value_or("-"), !entries ? "-"
                                             : logged ? written(entries)
                                                      : kEarlierLog);
    EXPECT_EQ(outcome.notes,
              noteOf.empty() ? Lines{} : Lines{unknownKindMessage('"' + noteOf + '"')});
  };
  using namespace std::string_literals;
  const PassSet fix = only(PassId::FixSrtBlankLines), blank = only(PassId::DeleteBlankSubtitles);
  expect(PassSet::defaults(), "teh ąła\n", "the ala\r\n");
  // with a byte windows-1250 leaves undefined, which is a control in ISO-8859-2
  expect(PassSet::defaults(), "teh \xB9\xB3 \x9C\x81\r", "the al \x9C\x81\r\n");
  expect(PassSet::defaults(), "\xFF\xFEt\0e\0h\0\n\0"s, "\xFF\xFEt\0h\0e\0\r\0\n\0"s);
  expect(PassSet::defaults(), "\xEF\xBB\xBFteh\r\n", "\xEF\xBB\xBFthe\r\n");
  expect(PassSet::none(), "teh ą\nb\rc", "teh ą\r\nb\r\nc\r\n");
  expect(only(PassId::RemoveFormattingCodes), chosen("{1}{2}{y:i}Hi|{ }|{a x}{b"),
         written("{1}{2}Hi||{b"));
  expect(only(PassId::DeleteRedundantSpaces), chosen(" - Hi , you !  |   |- a"),
         written("-Hi, you!||-a"));
  expect(fix, chosen("||1|T|x|||2|T|||3|T|||4|T"), written("|1|T|x||2|T||3|T||4|T"));
  // of both kinds
  expect(fix, chosen("{1}{2}-->|||{3}{4}|{5}{6}-->|{7}{8}-->|-->"),
         written("{1}{2}-->||{3}{4}|{5}{6}-->|{7}{8}-->|-->"));
  expect(fix, chosen("{1}{2}a|||{3}{4}|{5}{6}|{7}{8}"), written("{1}{2}a|||{3}{4}|{5}{6}|{7}{8}"));
  expect(fix, "text\n\n\n", "text\r\n\r\n\r\n", "=", "Fix SRT blank lines");
  expect(blank, chosen("{1}{2}Hi|{3}{4}||{5}{6}{y:i}|{7}{8}x"),
         written("{1}{2}Hi|{5}{6}{y:i}|{7}{8}x"), "Skipped line : {3}{4}|Skipped line : ");
  expect(blank, chosen("{1}{2}-->|{3}{4}|{5}{6}-->|{7}{8}-->|-->"),
         written("{1}{2}-->|{5}{6}-->|{7}{8}-->"), "Skipped line : {3}{4}|Skipped line : -->");
  expect(blank, chosen("{1}{2}a|{3}{4}b|{5}{6}c|{7}{8}d"),
         written("{1}{2}a|{3}{4}b|{5}{6}c|{7}{8}d"), nullptr);
  expect(blank, chosen("intro|1|T|a||2|T||3|T|c||4|T|d"), written("intro|1|T|a||3|T|c||4|T|d"),
         "Skipped line nr. 2");
  expect(blank, "text\n\n", "text\r\n\r\n", "=", "Delete blank lines");
  // A file that stops being UTF-8 after the first piece read is read again
  // as windows-1250, and what the passes say is said once.
  const std::string xs(70000, 'x');
  EXPECT_EQ(runOn(xs + "\n\xB9\n").notes, (Lines{unknownKindMessage("\"Delete blank lines\""),
                                                 unknownKindMessage("\"Fix SRT blank lines\"")}));
  EXPECT_EQ(readBytes(output), xs + "\r\na\r\n");
  for (const auto& [name, named] : {std::pair{"README", "README_PL"},
                                    {".hidden", ".hidden_PL"},
                                    {".a.b.sub", ".a.b_PL.sub"},
                                    {"x.", "x_PL."}}) {
    writeBytes(dir.file(name), "");
    EXPECT_EQ(clean({settings, dir.file(name), {}, GetParam()}).output, dir.file(named));
  }
}

// A name of no file is no run. A file that cannot be read, a folder at the
// output's name and a suffix that puts the run's first staging file on the
// chosen file (holding no lock, it would pass for a leftover) fail the run.
TEST_P(RunContract, FailsWhereItCannotReadOrWrite) {
  for (const std::string& name : {std::string(), dir.file("gone.srt"), dir.path().string()}) {
    const RunOutcome outcome = clean({settings, name, PassSet::all(), GetParam()});
    EXPECT_TRUE(outcome.ending == RunOutcome::Ending::NotAFile && !outcome.failure);
  }
  EXPECT_EQ(listFolder(dir.path()), "");
  EXPECT_EQ(clean({settings, "/proc/self/mem", PassSet::all(), GetParam()}).failure,
            "Cannot read \"/proc/self/mem\": Input/output error.");
  fs::create_directory(output);
  EXPECT_EQ(runOn("x\n").failure, "Cannot write \"" + output + "\": a folder stands at that name.");
  settings.nameSuffix = "/../G";
  const std::string name = dir.file("G_22.tmp.1.tmp");
  writeBytes(name, "x\n");
  fs::create_directory(dir.file("G_22.tmp.1"));
  EXPECT_EQ(clean({settings, name, PassSet::all(), GetParam()}).failure,
            "Cannot clean \"" + name + "\": the output name would replace the chosen file.");
  EXPECT_EQ(readBytes(name), "x\n");
}

// An earlier output is replaced by swapping names (a rename over it would
// make the file system write the new one out at once), or by a rename where
// names cannot be swapped or another program holds it locked; either way a
// second name of the old output keeps it.
TEST_P(RunContract, ReplacesTheEarlierOutputAlsoWhereNamesCannotBeSwapped) {
  writeBytes(output, "old output");
  fs::create_hard_link(output, dir.file("kept.srt"));
  for (const std::string way : {"swap", "no swap", "locked"}) {
    const FileDescriptor locked(::open(output.c_str(), O_RDONLY | O_CLOEXEC));
    if (way == "locked") ::flock(locked.get(), LOCK_EX);
    SystemFaults calls({.error = EINVAL, .failSwap = way == "no swap"});
    EXPECT_TRUE(runOn("teh\n").cleaned()) << way;
    EXPECT_TRUE(way != "swap" || calls.swaps > 0) << "no names swapped";
    EXPECT_EQ(readBytes(output) + readBytes(dir.file("kept.srt")), "the\r\nold output") << way;
    EXPECT_EQ(listFolder(dir.path()), "kept.srt movie.srt movie_PL.srt") << way;
  }
}

// Symlinks at the derived names are not written through. The first run has
// no standard input, so files it opens may get descriptor 0, a file like any
// other: used, and closed again; in the single pass it reads the small file
// once, for its encoding, its kind and the passes: one read gives its bytes,
// the next finds the end. In the second run each read and write is first
// interrupted by a signal and moves three bytes at most.
TEST_P(RunContract, SymlinksDescriptorZeroAndInterruptedCallsChangeNothing) {
  writeBytes(dir.file("victim.txt"), "keep");
  for (const std::size_t interrupted : {0, 3}) {
    for (const char* name : {"movie_PL.srt", "movie_PL_22.srt.1.tmp", "movie_PL.srt.log"}) {
      fs::remove(dir.file(name));
      fs::create_symlink(dir.file("victim.txt"), dir.file(name));
    }
    const int savedInput = ::dup(0);
    if (interrupted == 0) ::close(0);
    SystemFaults calls({.interruptedSize = interrupted});
    EXPECT_TRUE(runOn(kFrames).cleaned());
    EXPECT_EQ(::fcntl(0, F_GETFD) == -1, interrupted == 0) << "descriptor 0 left open";
    EXPECT_TRUE(staged || interrupted > 0 || calls.reads == 2) << calls.reads;
    ::dup2(savedInput, 0);
    ::close(savedInput);
    EXPECT_EQ(readBytes(dir.file("victim.txt")), "keep");
    EXPECT_EQ(readBytes(output), "{1}{2}a\r\n{3}{4}b\r\n{5}{6}c\r\n{7}{8}d\r\n");
    EXPECT_EQ(readBytes(log), "Skipped line : {1}{2}\r\n");
  }
}

// Each way to fail, provoked before any pass has finished or after some
// have: at the output's and the log's names stand the earlier files or what
// the last finished pass left, as whatFailureLeaves says for the mode. A
// folder at the log's name fails blank-subtitle removal before it writes
// anything, whether or not it would leave anything out: no output holds
// fewer subtitles than the chosen file without the log that lists them.
TEST_P(RunContract, FailureLeavesWhatThePolicySays) {
  std::set<FailureKind> provoked;
  // What the last finished pass left at the output's and the log's names
  // ("-": no file). A write to fail of -1 is the run's last write, counted
  // in a first run: the staged run's last pass, the single pass's log.
  const auto expect = [&](FailureKind kind, Faults faults, PassSet passes, const std::string& in,
                          const std::string& finished, const std::string& finishedLog,
                          const std::string& failure) {
    provoked.insert(kind);
    for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove_all(entry);
    earlierFiles(kind == FailureKind::FolderAtLogName);
    if (faults.writeToFail < 0) {
      SystemFaults counting({});
      runOn(in, passes);
      faults.writeToFail = counting.writes;
      earlierFiles();
    }
    SystemFaults calls(faults);
    const RunOutcome outcome = runOn(in, passes);
    EXPECT_TRUE(outcome.ending == RunOutcome::Ending::Failed && outcome.failure == failure)
        << outcome.failure.value_or("(none)");
    const bool earlier = whatFailureLeaves(kind, GetParam()) == FailureLeaves::EarlierFiles;
    EXPECT_EQ(readBytes(output), earlier ? kEarlierOutput : finished) << failure;
    EXPECT_EQ(readIfFile(log).value_or("-"),
              earlier && finishedLog != "-" ? kEarlierLog : finishedLog);
  };
  using enum FailureKind;
  const PassSet all = PassSet::all();
  const std::string subRip = chosen("1|T|teh||2|T||3|T|c|||4|T|d"), xs = "|x|x|x|x|x|x|x|x|x|x|x|x";
  const std::string atLog = "Cannot write \"" + log + "\": a folder stands at that name.";
  const std::string staging = dir.file(staged ? "movie_PL_22.srt.1.tmp" : "movie_PL.srt.log.1.tmp");
  expect(FileOperation, {.error = ENOSPC, .writeToFail = 1}, all, kFrames, kEarlierOutput,
         kEarlierLog, "Cannot write \"" + output + "\": No space left on device.");
  expect(FileOperation, {.error = EACCES, .failCreate = true}, all, kFrames, kEarlierOutput,
         kEarlierLog, "Cannot create \"" + staging + "\": Permission denied.");
  expect(FileOperation, {.error = EXDEV, .failRename = true}, all, kFrames, kEarlierOutput,
         kEarlierLog, "Cannot write \"" + output + "\": Invalid cross-device link.");
  expect(FileOperation, {.error = ENOSPC, .writeToFail = -1}, all, subRip,
         written("1|T|the||3|T|c|||4|T|d"), "Skipped line nr. 2\r\n",
         "Cannot write \"" + (staged ? output : log) + "\": No space left on device.");
  expect(FolderAtLogName, {}, all, subRip, written("1|T|the||2|T||3|T|c|||4|T|d"), "-", atLog);
  expect(FolderAtLogName, {}, only(PassId::DeleteBlankSubtitles),
         chosen("1|T|a||2|T|b||3|T|c||4|T|d"), written("1|T|a||2|T|b||3|T|c||4|T|d"), "-", atLog);
  expect(CannotHold, {}, all, "\xB9\r\nsnow\r\n", "a\r\nsnow\r\n", kEarlierLog,
         "Cannot write \"" + output +
             "\": line 2 holds the character \"☃\" (U+2603), which the "
             "code page windows-1250 cannot hold.");
  // With its index and time lines, a block of 14.
  expect(OverlongBlock, {}, all, chosen("1|T|teh||2|T" + xs + "||3|T|c||4|T|d"),
         written("1|T|the||2|T" + xs + "||3|T|c||4|T|d"), kEarlierLog,
         "Cannot buffer more than\r\n13 lines / screen (please check subline 2 in .srt file).");
  for (const FailurePolicy& row : kFailurePolicy) EXPECT_TRUE(provoked.contains(row.kind));
}

INSTANTIATE_TEST_SUITE_P(Modes, RunContract,
                         ::testing::Values(RunMode::Staged, RunMode::SinglePass),
                         modeName<::testing::TestParamInfo<RunMode>>);

}  // namespace
}  // namespace pellumar
