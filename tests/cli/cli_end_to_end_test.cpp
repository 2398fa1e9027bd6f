// Runs the real pellumar-cli in a temporary working folder: the wiring of
// options, settings, the batch and the output streams.

#include <filesystem>

#include "tests/cli/cli_end_to_end.h"

namespace pellumar::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::readBytes;
using testing::writeBytes;

constexpr const char* kMicroDvd = "{1}{2}a\r\n{3}{4}\r\n{5}{6}b\r\n{7}{8}c\r\n{9}{10}d\r\n";

// Settings come from --settings FILE, else lexmend.ini here, else the user's
// copy; a named file that is missing is not replaced by another, and without
// any nothing runs. Usage is answered without settings; the help names the
// places looked in.
TEST_F(CliEndToEndTest, SettingsAreLookedForInOrderAndUsageNeedsNone) {
  writeBytes(file("a.txt"), "teh\r\n");
  fs::create_directories(dir_.path() / "config/pellumar");
  const std::string users = file("config/pellumar/lexmend.ini");
  writeBytes(users, "NAMESUFIXADD=_me\r\n");
  ::setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);  // the program inherits it
  EXPECT_EQ(run({"--settings", "no.ini", "a.txt"}), "2 pellumar-cli: no.ini not found.\n");
  writeBytes(file("other.ini"), "NAMESUFIXADD=_fix\r\n");
  EXPECT_EQ(run({"--settings", "other.ini", "a.txt"}), "0 a.txt -> a_fix.txt\n");
  EXPECT_EQ(run({"a.txt"}), "0 a.txt -> a_PL.txt\n");
  fs::remove(file("lexmend.ini"));
  EXPECT_EQ(run({"a.txt"}), "0 a.txt -> a_me.txt\n");
  fs::remove(users);
  EXPECT_EQ(run({"a.txt"}), "2 pellumar-cli: lexmend.ini not found.\n");

  const std::string help = run({"--all", "a.txt", "--help"});
  EXPECT_TRUE(help.starts_with("0 Usage: pellumar-cli [OPTION]... FILE...\n")) << help;
  // The parser would mark the negations "{false}".
  for (const std::string& part :
       {"\n  --local-chars,--no-local-chars\n"s,
        "exists:\n  --settings FILE\n  ./lexmend.ini\n  " + users +
            "\n  " PELLUMAR_DATADIR
            "/pellumar/lexmend.ini\nNow read: none, there is no lexmend.ini in these places.\n"}) {
    EXPECT_NE(help.find(part), std::string::npos) << help;
  }
  EXPECT_EQ(run({"--version"}), "0 pellumar-cli " PELLUMAR_VERSION "\n");
  EXPECT_EQ(run({"-v"}), "2 pellumar-cli: No FILE given.\nRun with --help for more information.\n");
  EXPECT_EQ(listing(), "a.txt a_PL.txt a_fix.txt a_me.txt config other.ini");
}

// Several jobs: a missing file, a folder, a device, a file of neither kind,
// and one named after another's output, which waits for it. Each file's
// lines keep the command-line order, its errors ("read as" first) before its
// progress line; the exit status is 1.
TEST_F(CliEndToEndTest, ReportsInCommandLineOrderWithSeveralJobs) {
  writeBytes(file("notes.txt"), "teh plain text\r\n");
  fs::create_directory(dir_.path() / "folder.srt");
  writeBytes(file("small.sub"), kMicroDvd);
  EXPECT_EQ(run({"-j", "3", "-v", "--delete-blank", "gone.srt", "notes.txt", "folder.srt",
                 "/dev/null", "small.sub", "small_PL.sub"},
                true),
            "1 pellumar-cli: gone.srt: No such file.\n" + readAs("notes.txt") +
                "pellumar-cli: notes.txt: Unknown subtitle type. Cannot process for \"Delete blank "
                "lines\" option.\nnotes.txt -> notes_PL.txt\n"
                "pellumar-cli: folder.srt: Is a folder, not a file. Use -r to clean the subtitle "
                "files in it.\n"
                "pellumar-cli: /dev/null: Not a regular file.\n" +
                readAs("small.sub") + "small.sub -> small_PL.sub\n" + readAs("small_PL.sub") +
                "small_PL.sub -> small_PL_PL.sub\n");
}

// A folder at the skip log's name fails blank-subtitle removal before it
// writes anything, whether or not a subtitle would be left out. The single
// pass leaves no output; the staged run leaves what the passes before it
// made, never an output with subtitles left out but no log.
TEST_F(CliEndToEndTest, AFolderAtTheLogNameFailsBlankSubtitleRemoval) {
  fs::create_directory(dir_.path() / "a_PL.sub.log");
  for (const std::string second : {"{3}{4}", "{3}{4}two"}) {
    for (const char* mode : {"--jobs=1", "--staged"}) {
      SCOPED_TRACE(second + mode);
      const std::string rest = second + "\r\n{5}{6}three\r\n{7}{8}four\r\n";
      writeBytes(file("a.sub"), "{1}{2}teh one\r\n" + rest);
      EXPECT_EQ(run({mode, "--delete-blank", "a.sub"}),
                "1 pellumar-cli: a.sub: Cannot write \"a_PL.sub.log\": a folder stands at that "
                "name.\n");
      if (mode == std::string("--staged")) {
        EXPECT_EQ(readBytes(file("a_PL.sub")), "{1}{2}the one\r\n" + rest);
        fs::remove(file("a_PL.sub"));
      }
      EXPECT_EQ(listing(), "a.sub a_PL.sub.log lexmend.ini");
    }
  }
}

}  // namespace
}  // namespace pellumar::cli
