// Runs the real pellumar-cli in a temporary working folder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace pellumar::cli {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome runCli(const fs::path& workDir, const std::vector<std::string>& args) {
  // Captured outside the working folder, so its listing shows only what the program made.
  TempDir capture;
  const std::string outPath = capture.file("stdout");
  const std::string errPath = capture.file("stderr");
  std::vector<std::string> strings = {PELLUMAR_CLI_PROGRAM};
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  const std::string dir = workDir.string();

  const pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.c_str()) != 0) {
      _exit(126);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  Outcome outcome;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = readBytes(outPath);
  outcome.err = readBytes(errPath);
  return outcome;
}

constexpr const char* kSettings =
    "; test settings\r\n"
    "NAMESUFIXADD=_PL\r\n"
    "[RSTRINGS]\r\n"
    "teh=the\r\n";

constexpr const char* kSubRip =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nteh first\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\n\r\n"
    "3\r\n00:00:05,000 --> 00:00:06,000\r\nthird\r\n\r\n"
    "4\r\n00:00:07,000 --> 00:00:08,000\r\nfourth\r\n\r\n"
    "5\r\n00:00:09,000 --> 00:00:10,000\r\nfifth\r\n\r\n";

constexpr const char* kFrames =
    "{1}{10}teh one\r\n{11}{20}\r\n{21}{30}three\r\n{31}{40}four\r\n{41}{50}five\r\n";

constexpr const char* kPlainText = "teh plain text\r\nof neither kind\r\n";

class CliEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override { writeBytes(dir_.file("lexmend.ini"), kSettings); }

  Outcome run(const std::vector<std::string>& args) { return runCli(dir_.path(), args); }
  std::string file(const std::string& name) const { return dir_.file(name); }
  bool exists(const std::string& name) const { return fs::exists(dir_.path() / name); }

  TempDir dir_;
};

TEST_F(CliEndToEndTest, ProgressLineNamesInputAndOutput) {
  writeBytes(file("movie.srt"), kSubRip);
  const Outcome outcome = run({"movie.srt"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "movie.srt -> movie_PL.srt\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(testing::listFolder(dir_.path()), "lexmend.ini movie.srt movie_PL.srt");
}

TEST_F(CliEndToEndTest, ProgressLineKeepsTheFileAsGiven) {
  fs::create_directory(dir_.path() / "subs");
  writeBytes(file("subs/movie.srt"), kSubRip);
  const std::string absolute = file("subs/movie.srt");
  const Outcome outcome = run({"./subs/../subs/movie.srt", absolute});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "./subs/../subs/movie.srt -> ./subs/../subs/movie_PL.srt\n" + absolute +
                             " -> " + file("subs/movie_PL.srt") + "\n");
}

TEST_F(CliEndToEndTest, DefaultBoxesReplaceStrings) {
  writeBytes(file("a.txt"), kPlainText);
  ASSERT_EQ(run({"a.txt"}).status, 0);
  EXPECT_EQ(readBytes(file("a_PL.txt")), "the plain text\r\nof neither kind\r\n");
}

TEST_F(CliEndToEndTest, NegatedBoxIsLeftClear) {
  writeBytes(file("a.txt"), kPlainText);
  ASSERT_EQ(run({"--no-replace-strings", "a.txt"}).status, 0);
  EXPECT_EQ(readBytes(file("a_PL.txt")), kPlainText);
}

TEST_F(CliEndToEndTest, StagedRunGivesTheSameOutput) {
  writeBytes(file("a.srt"), kSubRip);
  writeBytes(file("b.srt"), kSubRip);
  ASSERT_EQ(run({"--all", "a.srt"}).status, 0);
  ASSERT_EQ(run({"--all", "--staged", "b.srt"}).status, 0);
  EXPECT_EQ(readBytes(file("a_PL.srt")), readBytes(file("b_PL.srt")));
  EXPECT_EQ(readBytes(file("a_PL.srt.log")), readBytes(file("b_PL.srt.log")));
}

TEST_F(CliEndToEndTest, DeleteBlankDropsTheBlankSubtitle) {
  writeBytes(file("m.sub"), kFrames);
  const Outcome outcome = run({"--delete-blank", "m.sub"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(readBytes(file("m_PL.sub")),
            "{1}{10}the one\r\n{21}{30}three\r\n{31}{40}four\r\n{41}{50}five\r\n");
  EXPECT_EQ(readBytes(file("m_PL.sub.log")), "Skipped line : {11}{20}\r\n");
}

TEST_F(CliEndToEndTest, MissingSettingsStopsBeforeAnyFile) {
  fs::remove(file("lexmend.ini"));
  // Nor a copy of the user's own; the child program inherits the variable.
  ::setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
  writeBytes(file("movie.srt"), kSubRip);
  const Outcome outcome = run({"movie.srt"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err, "pellumar-cli: lexmend.ini not found.\n");
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(testing::listFolder(dir_.path()), "movie.srt");
}

TEST_F(CliEndToEndTest, SettingsFromAnotherFile) {
  fs::remove(file("lexmend.ini"));
  fs::create_directory(dir_.path() / "conf");
  writeBytes(file("conf/other.ini"), "NAMESUFIXADD=_fix\r\n");
  writeBytes(file("a.txt"), kPlainText);
  const Outcome outcome = run({"--settings", "conf/other.ini", "a.txt"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "a.txt -> a_fix.txt\n");
  EXPECT_EQ(readBytes(file("a_fix.txt")), kPlainText);
}

TEST_F(CliEndToEndTest, WithoutSettingsHereTheUsersCopyIsRead) {
  fs::remove(file("lexmend.ini"));
  fs::create_directories(dir_.path() / "config/pellumar");
  writeBytes(file("config/pellumar/lexmend.ini"), "NAMESUFIXADD=_me\r\n");
  ::setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
  writeBytes(file("a.txt"), kPlainText);
  const Outcome outcome = run({"a.txt"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "a.txt -> a_me.txt\n");
}

TEST_F(CliEndToEndTest, MissingSettingsFileGivenByName) {
  writeBytes(file("a.txt"), kPlainText);
  const Outcome outcome = run({"--settings", "nowhere.ini", "a.txt"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err, "pellumar-cli: nowhere.ini not found.\n");
  EXPECT_EQ(outcome.out, "");
  EXPECT_FALSE(exists("a_PL.txt"));
}

TEST_F(CliEndToEndTest, MissingFileIsReportedAndTheOthersProcessed) {
  writeBytes(file("good.srt"), kSubRip);
  const Outcome outcome = run({"gone.srt", "good.srt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "pellumar-cli: gone.srt: No such file.\n");
  EXPECT_EQ(outcome.out, "good.srt -> good_PL.srt\n");
  EXPECT_TRUE(exists("good_PL.srt"));
  EXPECT_FALSE(exists("gone_PL.srt"));
}

TEST_F(CliEndToEndTest, FolderIsReported) {
  fs::create_directory(dir_.path() / "sub.srt");
  writeBytes(file("good.srt"), kSubRip);
  const Outcome outcome = run({"good.srt", "sub.srt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "pellumar-cli: sub.srt: Is a folder, not a file.\n");
  EXPECT_EQ(outcome.out, "good.srt -> good_PL.srt\n");
  EXPECT_FALSE(exists("sub_PL.srt"));
}

TEST_F(CliEndToEndTest, OnlyBadFilesStillExitOne) {
  const Outcome outcome = run({"gone.srt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
}

TEST_F(CliEndToEndTest, QuietPrintsNoProgress) {
  writeBytes(file("a.srt"), kSubRip);
  for (const char* quiet : {"-q", "--quiet"}) {
    const Outcome outcome = run({quiet, "a.srt"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_TRUE(exists("a_PL.srt"));
  }
}

TEST_F(CliEndToEndTest, QuietStillReportsProblems) {
  const Outcome outcome = run({"-q", "gone.srt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "pellumar-cli: gone.srt: No such file.\n");
}

TEST_F(CliEndToEndTest, FileOfNeitherKindStillEndsDone) {
  writeBytes(file("notes.txt"), kPlainText);
  const Outcome outcome = run({"--delete-blank", "notes.txt"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err,
            "pellumar-cli: notes.txt: Unknown subtitle type. Cannot process for \"Delete blank "
            "lines\" option.\n");
  EXPECT_EQ(outcome.out, "notes.txt -> notes_PL.txt\n");
  EXPECT_EQ(readBytes(file("notes_PL.txt")), "the plain text\r\nof neither kind\r\n");
}

TEST_F(CliEndToEndTest, FileOfNeitherKindAsksOncePerOption) {
  writeBytes(file("notes.txt"), kPlainText);
  const Outcome outcome = run({"--delete-blank", "--fix-srt-blank", "notes.txt"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err,
            "pellumar-cli: notes.txt: Unknown subtitle type. Cannot process for \"Delete blank "
            "lines\" option.\n"
            "pellumar-cli: notes.txt: Unknown subtitle type. Cannot process for \"Fix SRT blank "
            "lines\" option.\n");
}

TEST_F(CliEndToEndTest, ChosenFileIsNeverWritten) {
  writeBytes(file("movie.srt"), kSubRip);
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
  fs::last_write_time(file("movie.srt"), old);
  for (const auto* mode : {"--staged", "--quiet"}) {
    const Outcome outcome = run({"--all", mode, "movie.srt"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(readBytes(file("movie.srt")), kSubRip);
    EXPECT_EQ(fs::last_write_time(file("movie.srt")), old);
  }
}

TEST_F(CliEndToEndTest, OrderIsCommandLineOrderWithSeveralJobs) {
  std::vector<std::string> args = {"-j", "2", "--delete-blank"};
  std::string out;
  std::string err;
  for (int i = 0; i < 12; ++i) {
    const std::string name = "f" + std::to_string(i);
    if (i % 4 == 1) {
      args.push_back(name + ".srt");
      err += "pellumar-cli: " + name + ".srt: No such file.\n";
      continue;
    }
    if (i % 4 == 2) {
      writeBytes(file(name + ".txt"), kPlainText);
      args.push_back(name + ".txt");
      err += "pellumar-cli: " + name +
             ".txt: Unknown subtitle type. Cannot process for \"Delete blank lines\" option.\n";
      out += name + ".txt -> " + name + "_PL.txt\n";
      continue;
    }
    // Big files first, so later ones tend to finish earlier.
    std::string text;
    for (int copy = 0; copy < (i < 4 ? 2000 : 1); ++copy) text += kSubRip;
    writeBytes(file(name + ".srt"), text);
    args.push_back(name + ".srt");
    out += name + ".srt -> " + name + "_PL.srt\n";
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, out);
    EXPECT_EQ(outcome.err, err);
  }
}

TEST_F(CliEndToEndTest, StderrComesBeforeTheProgressLineOnOneStream) {
  writeBytes(file("a.srt"), kSubRip);
  writeBytes(file("b.txt"), kPlainText);
  writeBytes(file("c.srt"), kSubRip);
  // Both streams into one file, as on a terminal.
  TempDir capture;
  const std::string both = capture.file("both");
  const std::string command = "cd '" + dir_.path().string() + "' && '" + PELLUMAR_CLI_PROGRAM +
                              "' -j 3 --delete-blank a.srt gone.srt b.txt c.srt >'" + both +
                              "' 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
  EXPECT_EQ(readBytes(both),
            "a.srt -> a_PL.srt\n"
            "pellumar-cli: gone.srt: No such file.\n"
            "pellumar-cli: b.txt: Unknown subtitle type. Cannot process for \"Delete blank "
            "lines\" option.\n"
            "b.txt -> b_PL.txt\n"
            "c.srt -> c_PL.srt\n");
}

TEST_F(CliEndToEndTest, OutputOfAnEarlierFileIsProcessedAfterIt) {
  writeBytes(file("a.txt"), kPlainText);
  // a_PL.txt does not exist yet: a.txt's run makes it.
  const Outcome outcome = run({"-j", "4", "a_PL.txt", "a.txt", "b.txt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "pellumar-cli: a_PL.txt: No such file.\n"
            "pellumar-cli: b.txt: No such file.\n");
  const Outcome chained = run({"-j", "4", "a.txt", "a_PL.txt", "a_PL_PL.txt"});
  EXPECT_EQ(chained.status, 0) << chained.err;
  EXPECT_EQ(chained.out,
            "a.txt -> a_PL.txt\na_PL.txt -> a_PL_PL.txt\na_PL_PL.txt -> a_PL_PL_PL.txt\n");
  EXPECT_EQ(readBytes(file("a_PL_PL_PL.txt")), "the plain text\r\nof neither kind\r\n");
}

TEST_F(CliEndToEndTest, SameFileTwiceRunsTwice) {
  writeBytes(file("a.srt"), kSubRip);
  const Outcome outcome = run({"-j", "2", "a.srt", "./a.srt"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "a.srt -> a_PL.srt\n./a.srt -> ./a_PL.srt\n");
  EXPECT_EQ(testing::listFolder(dir_.path()), "a.srt a_PL.srt lexmend.ini");
}

TEST_F(CliEndToEndTest, BadUsageProcessesNothing) {
  writeBytes(file("a.srt"), kSubRip);
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"--bogus", "a.srt"},
                                               {"-j", "0", "a.srt"},
                                               {"-j", "x", "a.srt"},
                                               {"--all"}}) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("pellumar-cli: ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find("--help"), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(testing::listFolder(dir_.path()), "a.srt lexmend.ini");
}

TEST_F(CliEndToEndTest, BadUsageWinsOverMissingSettings) {
  fs::remove(file("lexmend.ini"));
  const Outcome outcome = run({});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err, "pellumar-cli: No FILE given.\nRun with --help for more information.\n");
}

TEST_F(CliEndToEndTest, HelpAndVersion) {
  fs::remove(file("lexmend.ini"));
  const Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_NE(help.out.find("Usage: pellumar-cli"), std::string::npos);
  const Outcome shortHelp = run({"-h"});
  EXPECT_EQ(shortHelp.status, 0);
  EXPECT_EQ(shortHelp.out, help.out);
  const Outcome version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("pellumar-cli ") + PELLUMAR_VERSION + "\n");
  EXPECT_EQ(version.err, "");
}

}  // namespace
}  // namespace pellumar::cli

namespace pellumar::cli {
namespace {

class CliCodePageTest : public ::testing::Test {
 protected:
  // UTF-8 settings: Polish and Russian letters to plain ones.
  void SetUp() override {
    writeBytes(dir_.file("lexmend.ini"),
               "[LOCAL_CHAR]\r\n\xC4\x85=a\r\n\xC5\x9B=s\r\n\xC5\xBA=z\r\n\xD0\xB6=z\r\n");
  }

  Outcome run(const std::vector<std::string>& args) { return runCli(dir_.path(), args); }
  std::string file(const std::string& name) const { return dir_.file(name); }

  TempDir dir_;
};

std::string utf32(std::u32string_view text, bool bigEndian) {
  std::string bytes;
  for (char32_t c : std::u32string(U"\uFEFF") + std::u32string(text)) {
    for (int i = 0; i < 4; ++i) {
      bytes.push_back(static_cast<char>((c >> (bigEndian ? 24 - 8 * i : 8 * i)) & 0xFF));
    }
  }
  return bytes;
}

TEST_F(CliCodePageTest, VerboseSaysWhatEachFileWasReadInAndTheOutputKeepsIt) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> options;
    const char* readAs;
    std::string output;
  };
  const Case cases[] = {
      {"ascii.txt", "abc\r\n", {}, "UTF-8", "abc\r\n"},
      {"bom.txt", "\xEF\xBB\xBF\xC5\x9B\r\n", {}, "UTF-8", "\xEF\xBB\xBFs\r\n"},
      {"le16.txt",
       std::string("\xFF\xFE\x05\x01\r\0\n\0", 8),
       {},
       "UTF-16LE",
       std::string("\xFF\xFE"
                   "a\0\r\0\n\0",
                   8)},
      {"le32.txt", utf32(U"\u0105\r\n", false), {}, "UTF-32LE", utf32(U"a\r\n", false)},
      {"be32.txt", utf32(U"\u0105\r\n", true), {}, "UTF-32BE", utf32(U"a\r\n", true)},
      // "Są źle" in each page; \xB1 is ± in windows-1250, \xB9 is š in ISO-8859-2.
      {"iso.txt", "S\xB1 \xBCle\r\n", {}, "ISO-8859-2", "Sa zle\r\n"},
      {"win.txt", "S\xB9 \x9Fle\r\n", {}, "windows-1250", "Sa zle\r\n"},
      {"pinned.txt", "S\xB1\r\n", {"--codepage", "cp1250"}, "windows-1250", "S\xB1\r\n"},
      // "жук" in KOI8-R
      {"koi8.txt",
       "\xD6\xD5\xCB\r\n",
       {"--codepage", "auto:windows-1251,KOI8-R"},
       "KOI8-R",
       "z\xD5\xCB\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(file(c.name), c.bytes);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-v", c.name});
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, std::string("pellumar-cli: ") + c.name + ": read as " + c.readAs + "\n");
    const std::string stem = std::string(c.name).substr(0, std::string(c.name).find('.'));
    EXPECT_EQ(outcome.out, std::string(c.name) + " -> " + stem + "_PL.txt\n");
    EXPECT_EQ(readBytes(file(stem + "_PL.txt")), c.output);
  }
}

TEST_F(CliCodePageTest, ReadAsComesBeforeTheFilesOtherLines) {
  writeBytes(file("a.txt"), "plain\r\n");
  const Outcome outcome = run({"--verbose", "--delete-blank", "a.txt"});
  EXPECT_EQ(outcome.err.rfind("pellumar-cli: a.txt: read as UTF-8\npellumar-cli: a.txt: ", 0), 0u)
      << outcome.err;
}

TEST_F(CliCodePageTest, BadCodePageIsBadUsage) {
  writeBytes(file("a.txt"), "S\xB1\r\n");
  const std::pair<const char*, const char*> cases[] = {
      {"nope", "Unknown code page \"nope\""},
      {"auto:windows-1250,", "Malformed code page list \"auto:windows-1250,\""},
  };
  for (const auto& [spec, message] : cases) {
    const Outcome outcome = run({"--codepage", spec, "a.txt"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, std::string("pellumar-cli: --codepage: ") + message +
                               ".\nRun with --help for more information.\n");
  }
  EXPECT_FALSE(fs::exists(file("a_PL.txt")));
}

TEST_F(CliCodePageTest, CodePageOptionWinsOverTheSettings) {
  writeBytes(file("lexmend.ini"), "CODEPAGE=ISO-8859-2\r\n[LOCAL_CHAR]\r\n\xC4\x85=a\r\n");
  writeBytes(file("a.txt"), "S\xB9\r\n");
  ASSERT_EQ(run({"--codepage", "auto", "a.txt"}).status, 0);
  EXPECT_EQ(readBytes(file("a_PL.txt")), "Sa\r\n");
  ASSERT_EQ(run({"a.txt"}).status, 0);
  EXPECT_EQ(readBytes(file("a_PL.txt")), "S\xB9\r\n");  // š in ISO-8859-2
}

}  // namespace
}  // namespace pellumar::cli
