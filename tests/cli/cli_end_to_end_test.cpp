// Runs the real pellumar-cli in a temporary working folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

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

// Runs the program in `workDir`. With `oneStream`, stderr goes where stdout
// goes, as on a terminal, and `out` holds both.
Outcome runCli(const fs::path& workDir, const std::vector<std::string>& args,
               bool oneStream = false) {
  // Captured outside the working folder, so its listing shows only what the program made.
  TempDir capture;
  std::string command = "cd '" + workDir.string() + "' && '" PELLUMAR_CLI_PROGRAM "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " >'" + capture.file("out") + "' 2>" +
             (oneStream ? std::string("&1") : "'" + capture.file("err") + "'");
  const int status = std::system(command.c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = readBytes(capture.file("out"));
  if (!oneStream) outcome.err = readBytes(capture.file("err"));
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

  Outcome run(const std::vector<std::string>& args, bool oneStream = false) {
    return runCli(dir_.path(), args, oneStream);
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  bool exists(const std::string& name) const { return fs::exists(dir_.path() / name); }

  TempDir dir_;
};

TEST_F(CliEndToEndTest, DeleteBlankDropsTheBlankSubtitle) {
  writeBytes(file("m.sub"), kFrames);
  const Outcome outcome = run({"--delete-blank", "m.sub"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(readBytes(file("m_PL.sub")),
            "{1}{10}the one\r\n{21}{30}three\r\n{31}{40}four\r\n{41}{50}five\r\n");
  EXPECT_EQ(readBytes(file("m_PL.sub.log")), "Skipped line : {11}{20}\r\n");
}

// Settings come from --settings FILE, else lexmend.ini here, else the user's
// copy; a named file that is missing is not replaced by another, and without
// any nothing runs.
TEST_F(CliEndToEndTest, SettingsAreLookedForInOrder) {
  writeBytes(file("a.txt"), kPlainText);
  const Outcome named = run({"--settings", "nowhere.ini", "a.txt"});
  EXPECT_EQ(named.status, 2);
  EXPECT_EQ(named.err, "pellumar-cli: nowhere.ini not found.\n");
  EXPECT_EQ(named.out, "");

  fs::create_directory(dir_.path() / "conf");
  writeBytes(file("conf/other.ini"), "NAMESUFIXADD=_fix\r\n");
  const Outcome other = run({"--settings", "conf/other.ini", "a.txt"});
  EXPECT_EQ(other.status, 0) << other.err;
  EXPECT_EQ(other.out, "a.txt -> a_fix.txt\n");
  EXPECT_EQ(readBytes(file("a_fix.txt")), kPlainText);

  fs::remove(file("lexmend.ini"));
  fs::create_directories(dir_.path() / "config/pellumar");
  writeBytes(file("config/pellumar/lexmend.ini"), "NAMESUFIXADD=_me\r\n");
  // The child program inherits the variable.
  ::setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
  const Outcome users = run({"a.txt"});
  EXPECT_EQ(users.status, 0) << users.err;
  EXPECT_EQ(users.out, "a.txt -> a_me.txt\n");

  fs::remove_all(dir_.path() / "config");
  fs::remove_all(dir_.path() / "conf");
  fs::remove(file("a_fix.txt"));
  fs::remove(file("a_me.txt"));
  const Outcome none = run({"a.txt"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "pellumar-cli: lexmend.ini not found.\n");
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(testing::listFolder(dir_.path()), "a.txt");
}

// Several jobs, a large file first so that later ones tend to finish earlier;
// a missing file, a folder, and a file of neither kind asked about by two
// options. Reports keep the command-line order, each file's errors before its
// progress line, and the exit status is 1.
TEST_F(CliEndToEndTest, ReportsInCommandLineOrderWithSeveralJobs) {
  std::string big;
  for (int copy = 0; copy < 2000; ++copy) big += kSubRip;
  writeBytes(file("big.srt"), big);
  writeBytes(file("notes.txt"), kPlainText);
  fs::create_directory(dir_.path() / "folder.srt");
  writeBytes(file("small.srt"), kSubRip);
  const std::vector<std::string> args = {
      "-j",       "3",         "--delete-blank", "--fix-srt-blank", "big.srt",
      "gone.srt", "notes.txt", "folder.srt",     "small.srt"};
  const std::string unknown = "pellumar-cli: notes.txt: Unknown subtitle type. Cannot process for ";
  const std::string gone = "pellumar-cli: gone.srt: No such file.\n";
  const std::string notes =
      unknown + "\"Delete blank lines\" option.\n" + unknown + "\"Fix SRT blank lines\" option.\n";
  const std::string folder = "pellumar-cli: folder.srt: Is a folder, not a file.\n";

  const Outcome split = run(args);
  EXPECT_EQ(split.status, 1);
  EXPECT_EQ(split.out,
            "big.srt -> big_PL.srt\nnotes.txt -> notes_PL.txt\nsmall.srt -> small_PL.srt\n");
  EXPECT_EQ(split.err, gone + notes + folder);
  // A file of neither kind is still cleaned.
  EXPECT_EQ(readBytes(file("notes_PL.txt")), "the plain text\r\nof neither kind\r\n");
  EXPECT_FALSE(exists("gone_PL.srt"));
  EXPECT_FALSE(exists("folder_PL.srt"));

  const Outcome joined = run(args, true);
  EXPECT_EQ(joined.status, 1);
  EXPECT_EQ(joined.out, "big.srt -> big_PL.srt\n" + gone + notes + "notes.txt -> notes_PL.txt\n" +
                            folder + "small.srt -> small_PL.srt\n");

  // Quiet prints only the problems.
  std::vector<std::string> quiet = args;
  quiet.insert(quiet.begin(), "-q");
  const Outcome quietly = run(quiet);
  EXPECT_EQ(quietly.status, 1);
  EXPECT_EQ(quietly.out, "");
  EXPECT_EQ(quietly.err, gone + notes + folder);
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

// A file named after another's output waits for it; the same file twice
// runs twice, one after the other.
TEST_F(CliEndToEndTest, OutputOfAnEarlierFileIsProcessedAfterIt) {
  writeBytes(file("a.txt"), kPlainText);
  // a_PL.txt does not exist yet: a.txt's run makes it.
  const Outcome outcome = run({"-j", "4", "a_PL.txt", "a.txt", "b.txt"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "pellumar-cli: a_PL.txt: No such file.\n"
            "pellumar-cli: b.txt: No such file.\n");
  const Outcome chained = run({"-j", "4", "a.txt", "a_PL.txt", "./a.txt", "a_PL_PL.txt"});
  EXPECT_EQ(chained.status, 0) << chained.err;
  EXPECT_EQ(chained.out,
            "a.txt -> a_PL.txt\na_PL.txt -> a_PL_PL.txt\n./a.txt -> ./a_PL.txt\n"
            "a_PL_PL.txt -> a_PL_PL_PL.txt\n");
  EXPECT_EQ(readBytes(file("a_PL_PL_PL.txt")), "the plain text\r\nof neither kind\r\n");
  EXPECT_EQ(testing::listFolder(dir_.path()),
            "a.txt a_PL.txt a_PL_PL.txt a_PL_PL_PL.txt lexmend.ini");
}

// Usage is answered before settings are looked for; on bad usage nothing is
// processed. The parser's own table checks the other bad forms.
TEST_F(CliEndToEndTest, UsageIsAnsweredWithoutSettings) {
  fs::remove(file("lexmend.ini"));
  writeBytes(file("a.srt"), kSubRip);
  const std::string hint = ".\nRun with --help for more information.\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;  // out: its start
  } cases[] = {
      {{"--help"}, 0, "Usage: pellumar-cli", ""},
      {{"--version"}, 0, std::string("pellumar-cli ") + PELLUMAR_VERSION + "\n", ""},
      {{}, 2, "", "pellumar-cli: No FILE given" + hint},
      {{"--codepage", "nope", "a.srt"},
       2,
       "",
       "pellumar-cli: --codepage: Unknown code page \"nope\"" + hint},
      {{"--codepage", "auto:windows-1250,", "a.srt"},
       2,
       "",
       "pellumar-cli: --codepage: Malformed code page list \"auto:windows-1250,\"" + hint},
  };
  for (const auto& c : cases) {
    const Outcome outcome = run(c.args);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out.rfind(c.out, 0), 0u) << outcome.out;
    EXPECT_EQ(outcome.err, c.err);
  }
  EXPECT_EQ(testing::listFolder(dir_.path()), "a.srt");
}

// UTF-8 settings: Polish and Russian letters to plain ones.
class CliCodePageTest : public CliEndToEndTest {
 protected:
  void SetUp() override {
    writeBytes(file("lexmend.ini"),
               "[LOCAL_CHAR]\r\n\xC4\x85=a\r\n\xC5\x9B=s\r\n\xC5\xBA=z\r\n\xD0\xB6=z\r\n");
  }
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
