// pellumar-cli on folders (-r), on files that are not text, with --diff, and
// writing other encodings than the input's.

#include <filesystem>

#include "tests/cli/cli_end_to_end.h"

namespace pellumar::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::readBytes;
using testing::writeBytes;

constexpr const char* kFourFrames = "{1}{2}teh\r\n{3}{4}b\r\n{5}{6}c\r\n{7}{8}d\r\n";

// A season's tree: nested folders, a symlink back up, an earlier output, a
// README and a subtitle in .txt files, names starting with a dot, a file of
// another kind and a VobSub .sub that is no text. A second walk cleans the
// same files again and never an output of the first.
TEST_F(CliEndToEndTest, WalksFoldersAndNeverCleansAnEarlierOutput) {
  fs::create_directories(dir_.path() / "lib/S1/extra");
  fs::create_directories(dir_.path() / "lib/.hidden");
  fs::create_directory_symlink("../..", dir_.path() / "lib/S1/extra/loop");
  for (const char* name : {"lib/S1/e01.srt", "lib/S1/E02.SUB", "lib/S1/extra/e03.Srt",
                           "lib/S1/e01_PL.srt", "lib/.hidden/a.srt", "lib/.b.srt", "lib/x.txt"}) {
    writeBytes(file(name), kFourFrames);
  }
  writeBytes(file("lib/README.txt"), "teh notes\r\n");
  writeBytes(file("lib/S1/e01.idx"), "teh\r\n");
  writeBytes(file("lib/S1/vob.sub"), "\0\0\1\xBA\0teh"s);
  const std::string cleaned =
      "lib/x.txt -> lib/x_PL.txt\nlib/S1/E02.SUB -> lib/S1/E02_PL.SUB\n"
      "lib/S1/e01.srt -> lib/S1/e01_PL.srt\nlib/S1/extra/e03.Srt -> lib/S1/extra/e03_PL.Srt\n";
  EXPECT_EQ(run({"-r", "-v", "--delete-blank", "lib"}),
            "0 " + cleaned + readAs("lib/README.txt") +
                "pellumar-cli: lib/README.txt: left alone: no subtitles in it.\n" +
                readAs("lib/x.txt") + readAs("lib/S1/E02.SUB") + readAs("lib/S1/e01.srt") +
                "pellumar-cli: lib/S1/e01_PL.srt: left alone: the cleaned copy of "
                "lib/S1/e01.srt.\npellumar-cli: lib/S1/vob.sub: left alone: not a text subtitle "
                "file.\n" +
                readAs("lib/S1/extra/e03.Srt") +
                "pellumar-cli: 4 cleaned, 0 failed, 3 left alone\n");
  EXPECT_EQ(readBytes(file("lib/S1/e01_PL.srt")), "{1}{2}the\r\n{3}{4}b\r\n{5}{6}c\r\n{7}{8}d\r\n");
  EXPECT_EQ(run({"-r", "-q", "lib"}), "0 pellumar-cli: 4 cleaned, 0 failed, 6 left alone\n");
  EXPECT_EQ(testing::listFolder(dir_.path() / "lib/S1"),
            "E02.SUB E02_PL.SUB e01.idx e01.srt e01_PL.srt extra vob.sub");
  EXPECT_EQ(testing::listFolder(dir_.path() / "lib"),
            ".b.srt .hidden README.txt S1 x.txt x_PL.txt");

  // Named, a file that is not text is refused, and so is a folder without -r.
  EXPECT_EQ(run({"lib/S1/vob.sub", "lib"}),
            "1 pellumar-cli: lib/S1/vob.sub: Not a text subtitle file.\npellumar-cli: lib: Is a "
            "folder, not a file. Use -r to clean the subtitle files in it.\n");
}

// Each kind of change as `diff -u` shows it, nothing written; a file whose
// only change is its line ends shows nothing.
TEST_F(CliEndToEndTest, DiffShowsWhatARunWouldChange) {
  writeBytes(file("lexmend.ini"), "[LOCAL_CHAR]\r\n\xC2\xB3=\xC5\x82\r\n[RSTRINGS]\r\nteh=the\r\n");
  constexpr const char* kArrow = "00:00:01,000 --> 00:00:02,000\r\n";
  const struct {
    std::vector<std::string> options;
    std::string input, diff;
  } cases[] = {
      {{},
       "{1}{2}\xC2\xB3\xC4\x85ka\r\n",
       "@@ -1 +1 @@\n-{1}{2}\xC2\xB3\xC4\x85ka\n+{1}{2}\xC5\x82\xC4\x85ka\n"},
      {{}, "{1}{2}teh dog\r\n", "@@ -1 +1 @@\n-{1}{2}teh dog\n+{1}{2}the dog\n"},
      {{"--remove-codes"}, "{1}{2}{y:i}Hi\r\n", "@@ -1 +1 @@\n-{1}{2}{y:i}Hi\n+{1}{2}Hi\n"},
      {{"--delete-spaces"}, "{1}{2}- Yes !\r\n", "@@ -1 +1 @@\n-{1}{2}- Yes !\n+{1}{2}-Yes!\n"},
      {{"--delete-blank"},
       "{1}{2}a\r\n{3}{4}b\r\n{5}{6}c\r\n{7}{8}\r\n{9}{10}d\r\n{11}{12}e\r\n",
       "@@ -1,6 +1,5 @@\n {1}{2}a\n {3}{4}b\n {5}{6}c\n-{7}{8}\n {9}{10}d\n {11}{12}e\n"},
      {{"--fix-srt-blank"},
       "1\r\n"s + kArrow + "a\r\n\r\n\r\n2\r\n" + kArrow + "b\r\n3\r\n" + kArrow + "c\r\n4\r\n" +
           kArrow + "d\r\n",
       "@@ -2,7 +2,6 @@\n 00:00:01,000 --> 00:00:02,000\n a\n \n-\n 2\n 00:00:01,000 --> "
       "00:00:02,000\n b\n"},
      {{"--color=always"},
       "{1}{2}teh\n",
       "\x1B[36m@@ -1 +1 @@\x1B[m\n\x1B[31m-{1}{2}teh\x1B[m\n\x1B[32m+{1}{2}the\x1B[m\n"},
      {{"-v"}, "{1}{2}a\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    writeBytes(file("a.sub"), c.input);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--diff", "a.sub"});
    const bool colored = !c.options.empty() && c.options[0] == "--color=always";
    const std::string header = colored ? "\x1B[1m--- a.sub\x1B[m\n\x1B[1m+++ a_PL.sub\x1B[m\n"
                                       : "--- a.sub\n+++ a_PL.sub\n";
    EXPECT_EQ(run(args), c.diff.empty() ? "0 " + readAs("a.sub") +
                                              "pellumar-cli: a.sub: line ends would become CR LF\n"
                                        : "0 " + header + c.diff);
    EXPECT_EQ(listing(), "a.sub lexmend.ini");
  }
  EXPECT_EQ(run({"--diff", "--color=sometimes", "a.sub"}).substr(0, 15), "2 pellumar-cli:");
  EXPECT_EQ(run({"--diff", "--staged", "a.sub"}),
            "2 pellumar-cli: --diff writes no file, so it cannot be --staged.\nRun with --help for "
            "more information.\n");
}

// The cleaned copy and its log are written in the chosen encoding; a
// character the page cannot hold fails the file and leaves nothing. The
// command line's choice wins over the settings'.
TEST_F(CliEndToEndTest, WritesTheChosenOutputEncoding) {
  writeBytes(file("lexmend.ini"), "OUTPUTCODEPAGE=KOI8-R\r\n");
  constexpr const char* kRest = "{5}{6}b\r\n{7}{8}c\r\n{9}{10}d\r\n";
  writeBytes(file("a.sub"), "{1}{2}\xC5\xBC\xC3\xB3\xC5\x82w\r\n{3}{4}\r\n"s + kRest);
  const struct {
    const char* encoding;
    std::string output, logStart;
  } cases[] = {
      {"same", "{1}{2}\xC5\xBC\xC3\xB3\xC5\x82w\r\n"s + kRest, "Skipped"},
      {"utf-8-BOM", "\xEF\xBB\xBF{1}{2}\xC5\xBC\xC3\xB3\xC5\x82w\r\n"s + kRest,
       "\xEF\xBB\xBFSkipped"},
      {"UTF-16",
       testing::utf16(u"{1}{2}\u017C\u00F3\u0142w\r\n{5}{6}b\r\n{7}{8}c\r\n{9}{10}d\r\n", false),
       "\xFF\xFES\0k\0"s},
      {"windows-1250", "{1}{2}\xBF\xF3\xB3w\r\n"s + kRest, "Skipped"},
      {"iso-8859-2", "{1}{2}\xBF\xF3\xB3w\r\n"s + kRest, "Skipped"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    EXPECT_EQ(run({"--delete-blank", "--output-codepage", c.encoding, "a.sub"}),
              "0 a.sub -> a_PL.sub\n");
    EXPECT_EQ(readBytes(file("a_PL.sub")), c.output);
    EXPECT_EQ(readBytes(file("a_PL.sub.log")).substr(0, c.logStart.size()), c.logStart);
  }
  for (const char* mode : {"--jobs=1", "--staged"}) {
    fs::remove(file("a_PL.sub"));
    fs::remove(file("a_PL.sub.log"));
    EXPECT_EQ(run({mode, "a.sub"}),
              "1 pellumar-cli: a.sub: Cannot write \"a_PL.sub\": line 1 holds the character "
              "\"\xC5\xBC\" (U+017C), which the code page KOI8-R cannot hold.\n");
    EXPECT_EQ(listing(), "a.sub lexmend.ini");
  }
  // Between two legacy pages the text is recoded, but a byte the input's
  // page leaves undefined has no place in the output's; nor has a lone
  // surrogate that UTF-16 carries in UTF-8.
  writeBytes(file("w.sub"), "{1}{2}\x9C\r\n"s + kRest);
  EXPECT_EQ(run({"--output-codepage=ISO-8859-2", "w.sub"}), "0 w.sub -> w_PL.sub\n");
  EXPECT_EQ(readBytes(file("w_PL.sub")), "{1}{2}\xB6\r\n"s + kRest);
  writeBytes(file("w.sub"), "{1}{2}\x9C\x98\r\n"s + kRest);
  writeBytes(file("u.sub"), testing::utf16(u"{1}a\r\n{2}", false) + "\x5C\xD5\0\xD8\r\0\n\0"s);
  EXPECT_EQ(run({"--output-codepage=ISO-8859-2", "w.sub"}),
            "1 pellumar-cli: w.sub: Cannot write \"w_PL.sub\": line 1 holds the character "
            "(U+DC98), which the code page ISO-8859-2 cannot hold.\n");
  for (const char* mode : {"--jobs=1", "--staged"}) {
    EXPECT_EQ(run({mode, "--output-codepage=utf-8", "u.sub"}),
              "1 pellumar-cli: u.sub: Cannot write \"u_PL.sub\": line 2 holds the character "
              "(U+D800), which UTF-8 cannot hold.\n")
        << mode;
  }
  EXPECT_EQ(run({"--output-codepage", "Shift_JIS", "a.sub"}),
            "2 pellumar-cli: --output-codepage: Unknown code page \"Shift_JIS\".\nRun with --help "
            "for more information.\n");
  writeBytes(file("lexmend.ini"), "OUTPUTCODEPAGE=auto\r\n");
  EXPECT_EQ(run({"a.sub"}), "2 pellumar-cli: Unknown output code page \"auto\" in lexmend.ini.\n");
  EXPECT_EQ(run({"--suffix", ".pl", "--output-codepage", "UTF-8", "a.sub"}),
            "2 pellumar-cli: Unknown output code page \"auto\" in lexmend.ini.\n");
  writeBytes(file("lexmend.ini"), "");
  EXPECT_EQ(run({"--suffix", ".pl", "a.sub"}), "0 a.sub -> a.pl.sub\n");
}

}  // namespace
}  // namespace pellumar::cli
