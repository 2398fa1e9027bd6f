// Runs the real pellumar-cli in a temporary working folder: the wiring of
// options, settings, the batch and the output streams.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_files.h"

namespace pellumar::cli {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::writeBytes;

struct Outcome {
  int status = -1;
  std::string out, err;
};

constexpr const char* kSubRip =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nteh first\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\n\r\n"
    "3\r\n00:00:05,000 --> 00:00:06,000\r\nthird\r\n\r\n"
    "4\r\n00:00:07,000 --> 00:00:08,000\r\nfourth\r\n\r\n"
    "5\r\n00:00:09,000 --> 00:00:10,000\r\nfifth\r\n\r\n";
constexpr const char* kSettings =
    "[RSTRINGS]\r\nteh=the\r\n[LOCAL_CHAR]\r\n\xC4\x85=a\r\n\xC5\xBA=z\r\n";
constexpr const char* kPlainText = "teh plain text\r\n";

std::string readAs(const std::string& file, const std::string& encoding = "UTF-8") {
  return "pellumar-cli: " + file + ": read as " + encoding + "\n";
}

class CliEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override { writeBytes(file("lexmend.ini"), kSettings); }

  // With `oneStream`, stderr goes where stdout goes, as on a terminal, and `out` holds both.
  Outcome run(const std::vector<std::string>& args, bool oneStream = false) {
    std::string command = "cd '" + dir_.path().string() + "' && '" PELLUMAR_CLI_PROGRAM "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    // Captured outside the working folder, so its listing shows only what the program made.
    command += " >'" + capture_.file("out") + "' 2>" +
               (oneStream ? "&1" : "'" + capture_.file("err") + "'");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(capture_.file("out")),
            oneStream ? "" : readBytes(capture_.file("err"))};
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  std::string listing() const { return testing::listFolder(dir_.path()); }

  testing::TempDir dir_, capture_;
};

// Settings come from --settings FILE, else lexmend.ini here, else the user's
// copy; a named file that is missing is not replaced by another, and without
// any nothing runs. The help names the places and the one read.
TEST_F(CliEndToEndTest, SettingsAreLookedForInOrder) {
  writeBytes(file("a.txt"), kPlainText);
  EXPECT_EQ(run({"--settings", "nowhere.ini", "a.txt"}).status, 2);
  fs::create_directories(dir_.path() / "config/pellumar");
  writeBytes(file("config/other.ini"), "NAMESUFIXADD=_fix\r\n");
  const Outcome other = run({"--settings", "config/other.ini", "a.txt"});
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(other.out + other.err, "a.txt -> a_fix.txt\n");

  fs::remove(file("lexmend.ini"));
  const std::string user = file("config/pellumar/lexmend.ini");
  writeBytes(user, "NAMESUFIXADD=_me\r\n");
  ::setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);  // the program inherits it
  const Outcome users = run({"a.txt"});
  EXPECT_EQ(users.out + users.err, "a.txt -> a_me.txt\n");
  const std::string help = run({"--help"}).out;
  EXPECT_NE(help.find("first of these that exists:\n  --settings FILE\n  ./lexmend.ini\n  " + user +
                      "\n  " PELLUMAR_DATADIR "/pellumar/lexmend.ini\nNow read: " + user + "\n"),
            std::string::npos)
      << help;

  fs::remove_all(dir_.path() / "config");
  const Outcome none = run({"a.txt"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out + none.err, "pellumar-cli: lexmend.ini not found.\n");
  EXPECT_EQ(listing(), "a.txt a_fix.txt a_me.txt");
}

// Several jobs, a large file first so that later ones tend to finish earlier;
// a missing file, a folder, a device, a file of neither kind asked about by
// two options, and one named after another's output, which waits for it.
// Reports keep the command-line order, each file's errors ("read as" first)
// before its progress line, and the exit status is 1. The chosen file is
// never written.
TEST_F(CliEndToEndTest, ReportsInCommandLineOrderWithSeveralJobs) {
  std::string big;
  for (int copy = 0; copy < 2000; ++copy) big += kSubRip;
  writeBytes(file("big.srt"), big);
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
  fs::last_write_time(file("big.srt"), old);
  writeBytes(file("notes.txt"), kPlainText);
  fs::create_directory(dir_.path() / "folder.srt");
  writeBytes(file("small.srt"), kSubRip);
  std::vector<std::string> args = {
      "-j",       "3",         "-v",         "--delete-blank", "--fix-srt-blank", "big.srt",
      "gone.srt", "notes.txt", "folder.srt", "/dev/null",      "small.srt",       "small_PL.srt"};
  const std::string unknown = "pellumar-cli: notes.txt: Unknown subtitle type. Cannot process for ";
  const std::string problems = "pellumar-cli: gone.srt: No such file.\n" + readAs("notes.txt") +
                               unknown + "\"Delete blank lines\" option.\n" + unknown +
                               "\"Fix SRT blank lines\" option.\n";
  const std::string notFiles =
      "pellumar-cli: folder.srt: Is a folder, not a file.\npellumar-cli: /dev/null: Not a regular "
      "file.\n";

  const Outcome joined = run(args, true);
  EXPECT_EQ(joined.status, 1);
  EXPECT_EQ(joined.out, readAs("big.srt") + "big.srt -> big_PL.srt\n" + problems +
                            "notes.txt -> notes_PL.txt\n" + notFiles + readAs("small.srt") +
                            "small.srt -> small_PL.srt\n" + readAs("small_PL.srt") +
                            "small_PL.srt -> small_PL_PL.srt\n");
  EXPECT_EQ(readBytes(file("notes_PL.txt")), "the plain text\r\n");  // still cleaned

  // Quiet prints only the problems; staged runs the passes one after another.
  args.insert(args.begin(), {"-q", "--staged"});
  const Outcome quietly = run(args);
  EXPECT_EQ(quietly.status, 1);
  EXPECT_EQ(quietly.out, "");
  EXPECT_EQ(quietly.err,
            readAs("big.srt") + problems + notFiles + readAs("small.srt") + readAs("small_PL.srt"));
  EXPECT_EQ(readBytes(file("big.srt")), big);
  EXPECT_EQ(fs::last_write_time(file("big.srt")), old);
  EXPECT_EQ(
      listing(),
      "big.srt big_PL.srt big_PL.srt.log folder.srt lexmend.ini notes.txt notes_PL.txt small.srt "
      "small_PL.srt small_PL.srt.log small_PL_PL.srt");
}

// Usage is answered before settings are looked for.
TEST_F(CliEndToEndTest, UsageIsAnsweredWithoutSettings) {
  fs::remove(file("lexmend.ini"));
  const Outcome help = run({"--all", "a.srt", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: pellumar-cli [OPTION]... FILE...\n") && help.err.empty())
      << help.out;
  // The parser library marks negated flags with "{false}"; the help reads better without.
  EXPECT_EQ(help.out.find('{'), std::string::npos) << help.out;
  const Outcome noFile = run({"-v"});
  EXPECT_EQ(noFile.status, 2);
  EXPECT_EQ(noFile.out + noFile.err,
            "pellumar-cli: No FILE given.\nRun with --help for more information.\n");
  EXPECT_EQ(listing(), "");
}

// FILEs in neither UTF-8 nor UTF-16/32 are read in one of the settings' code
// pages, or of --codepage; the output keeps the encoding read.
TEST_F(CliEndToEndTest, VerboseSaysWhatEachFileWasReadIn) {
  writeBytes(file("iso.txt"), "S\xB1 \xBCle\r\n");  // "Są źle"; \xB1 is ± in windows-1250
  writeBytes(file("win.txt"), "S\xB9 \x9Fle\r\n");  // the same in windows-1250
  EXPECT_EQ(run({"-v", "iso.txt", "win.txt"}).err,
            readAs("iso.txt", "ISO-8859-2") + readAs("win.txt", "windows-1250"));
  EXPECT_EQ(readBytes(file("iso_PL.txt")) + readBytes(file("win_PL.txt")), "Sa zle\r\nSa zle\r\n");
  EXPECT_EQ(run({"-v", "--codepage", "cp1250", "iso.txt"}).err, readAs("iso.txt", "windows-1250"));
  EXPECT_EQ(readBytes(file("iso_PL.txt")), "S\xB1 \xBCle\r\n");
}

}  // namespace
}  // namespace pellumar::cli
