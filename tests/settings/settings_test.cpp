#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "settings/settings_loader.h"
#include "settings/settings_location.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

using namespace std::string_literals;
using testing::utf16;

constexpr const char* kLocalLimit = "ENo more than 60 subtitutions allowed.";
constexpr const char* kReplacementLimit = "ENo more than 100 word subtitutions allowed.";

// "|<prefix>1=v1|<prefix>2=v2..." up to `count`: entries as lines, and in a summary.
std::string numbered(int count, const std::string& prefix) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += "|" + prefix + std::to_string(i) + "=v" + std::to_string(i);
  }
  return text;
}

// A load in short, parts joined by "|": "L<from>=<to>" per local character,
// "R<from>=<to>" per replacement, "S<suffix>" unless _PL, "P<page>,..." for
// the legacy pages unless windows-1250,ISO-8859-2; or "E<message>" up to
// where it names the file.
std::string summary(const SettingsLoad& load, const std::string& path) {
  if (!load.settings) return "E" + load.error.substr(0, load.error.find(path));
  std::string text, pages;
  const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "|") + part; };
  for (const TextPair& pair : load.settings->localChars) add("L" + pair.from + "=" + pair.to);
  for (const TextPair& pair : load.settings->replacements) add("R" + pair.from + "=" + pair.to);
  if (load.settings->nameSuffix != "_PL") add("S" + load.settings->nameSuffix);
  for (const auto& page : load.settings->legacyPages())
    pages += (pages.empty() ? "" : ",") + page->name();
  if (pages != "windows-1250,ISO-8859-2") add("P" + pages);
  if (load.settings->outputEncoding) add("O" + load.settings->outputEncoding->nameWithBom());
  return text;
}

// Each "|" of `bytes` is written as a CR LF line break. A file that is
// missing or cannot be read is named in the message.
TEST(SettingsLoaderTest, ReadsSectionsKeysAndCodePages) {
  const std::string half = "[LOCAL_CHAR]" + numbered(30, "a") + "|[RSTRINGS]|r=s|[local_char]";
  const std::pair<std::string, std::string> cases[] = {
      {"; a|;NAMESUFIXADD=_x|;[RSTRINGS]|;=y", ""},
      // Headers: any case, followed by anything; other bracket lines end a section.
      {"[Local_Char] more text|x=y|[rStrings]|a=b", "Lx=y|Ra=b"},
      {"[LOCAL_CHAR]|a=b|[LOCAL_CHARS]|x=y| [RSTRINGS]|c=d", "La=b"},
      {"[RSTRINGS]|a=b|[OPTIONS]|c=d|[RSTRINGS]|e=f", "Ra=b|Re=f"},
      {"[RSTRINGS]|c=d|[EOF]|a=b|[EOF]k=v|=c|[eof]|x=y", "Rc=d|Ra=b|Ra=c"},
      {"[R\xC5\xBFtrings]|x=y", ""},  // upper-casing is ASCII only: no long s
      // Lines: a key carries over to lines without one, empty and ";" lines are skipped.
      {"[RSTRINGS]|k=v|;x=y||=z|   ", "Rk=v|Rk=z|Rk=   "},
      {"[LOCAL_CHAR]|k=v|[RSTRINGS]|=x|yz", "Lk=v|Rk=x|Rk=yz"},
      {"[RSTRINGS]|a=b=c|x=|=|==| A = b ", "Ra=b=c|Rx=|Rx=|Rx==|R A = b "},
      {"[RSTRINGS]\ra=b\nc=d\r\ne=f", "Ra=b|Rc=d|Re=f"},
      {"[RSTRINGS]|k\0=\xFF\0\x98"s, "Rk\0=\xCB\x99\0\xED\xB2\x98"s},  // 0x98: undefined, escaped
      // NAMESUFIXADD, in any section; the last one wins, an empty one means _PL.
      {"[LOCAL_CHAR]|namesufixadd=_x", "Lnamesufixadd=_x|S_x"},
      {" NAMESUFIXADD=_x|NAMESUFIXADD =_y|namesuf\xC4\xB1xadd=_z", ""},
      {"NAMESUFIXADD= _a=b ", "S _a=b "},
      {"NAMESUFIXADD=_x|NAMESUFIXADD=", ""},
      {"NAMESUFIXADD=_fix|[EOF]|[OPTIONS]", "S[OPTIONS]"},
      // Full tables load, one entry more fails, counted across repeated headers.
      {"[RSTRINGS]" + numbered(100, "k") + "|[LOCAL_CHAR]" + numbered(60, "k"),
       numbered(60, "Lk").substr(1) + numbered(100, "Rk")},
      {"[LOCAL_CHAR]" + numbered(61, "k"), kLocalLimit},
      {"[RSTRINGS]" + numbered(101, "k"), kReplacementLimit},
      {half + numbered(31, "b"), kLocalLimit},
      {numbered(200, "k").substr(1) + "|[OPTIONS]" + numbered(200, "k") + "|[RSTRINGS]|a=b",
       "Ra=b"},
      {"CODEPAGE=NO-SUCH-PAGE|[LOCAL_CHAR]" + numbered(61, "k"), kLocalLimit},
      // Every encoding; a legacy file is read again in the page it names or reads best in.
      {"\xEF\xBB\xBF[LOCAL_CHAR]|\xC4\x85=a", "L\xC4\x85=a"},
      {"[LOCAL_CHAR]|\xB9=a", "L\xC4\x85=a"},  // windows-1250
      {"[LOCAL_CHAR]|\xB1=a", "L\xC4\x85=a"},  // a letter reads better than a sign
      {utf16(u"[LOCAL_CHAR]\r\n\u0105=a\r\n", false), "L\xC4\x85=a"},
      {utf16(u"[LOCAL_CHAR]\n\u0105=a", true), "L\xC4\x85=a"},
      {"[LOCAL_CHAR]|\xB1=a|[OPTIONS]|codepage=ISO-8859-2", "L\xC4\x85=a|PISO-8859-2"},
      {"CODEPAGE=windows-1250|[LOCAL_CHAR]|\xB1=a", "L\xC2\xB1=a|Pwindows-1250"},
      {"CODEPAGE=auto:windows-1251,KOI8-R|[LOCAL_CHAR]|\xDD\xD5\xCB\xC1=pike|\xB3\xD6=Ez",
       "L\xD1\x89\xD1\x83\xD0\xBA\xD0\xB0=pike|L\xD0\x81\xD0\xB6=Ez|Pwindows-1251,KOI8-R"},
      {"CODEPAGE=ISO-8859-2|[LOCAL_CHAR]|\xC2\xB1=a", "L\xC2\xB1=a|PISO-8859-2"},
      // CODEPAGE: the last one counts, an empty one means the default.
      {"CodePage=cp1252", "Pwindows-1252"},
      {"CODEPAGE=NO-SUCH-PAGE|CODEPAGE=ISO-8859-2|=KOI8-R", "PKOI8-R"},
      {"CODEPAGE=auto:windows-1250,", "EMalformed code page list \"auto:windows-1250,\" in "},
      {"CODEPAGE=ISO-8859-2|CODEPAGE=NO-SUCH-PAGE", "EUnknown code page \"NO-SUCH-PAGE\" in "},
      // OUTPUTCODEPAGE: in any section, the last one counts; "same" and an empty one are the
      // input's own encoding. Names of the special values match in any case.
      {"[RSTRINGS]|OutputCodePage=utf-8", "ROutputCodePage=utf-8|OUTF-8"},
      {"OUTPUTCODEPAGE=UTF-8-bom", "OUTF-8 with BOM"},
      {"OUTPUTCODEPAGE=utf-16", "OUTF-16LE"},
      {"OUTPUTCODEPAGE=cp1250|CODEPAGE=KOI8-R", "PKOI8-R|Owindows-1250"},
      {"OUTPUTCODEPAGE=KOI8-R|OUTPUTCODEPAGE=Same", ""},
      {"OUTPUTCODEPAGE=UTF-8|OUTPUTCODEPAGE=", ""},
      {"OUTPUTCODEPAGE=auto", "EUnknown output code page \"auto\" in "},
      {"OUTPUTCODEPAGE=auto:windows-1250", "EUnknown output code page \"auto:windows-1250\" in "},
      {"OUTPUTCODEPAGE=Shift_JIS", "EUnknown output code page \"Shift_JIS\" in "},
      {"OUTPUTCODEPAGE=UTF8", "EUnknown output code page \"UTF8\" in "},
  };
  testing::TempDir dir;
  const std::string path = dir.file("lexmend.ini");
  EXPECT_EQ(loadSettings(path).error, path + " not found.");
  // Reading this file at offset 0 fails with EIO, also for root.
  EXPECT_NE(loadSettings("/proc/self/mem").error.find("/proc/self/mem"), std::string::npos);
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(bytes.substr(0, 100));
    std::string crLf;
    for (const char c : bytes) crLf += c == '|' ? "\r\n"s : std::string(1, c);
    testing::writeBytes(path, crLf);
    EXPECT_EQ(summary(loadSettings(path), path), expected);
  }
}

// What the sample settings write can be written in either page the Polish
// subtitles of old players are in, so that no output page fails on them.
TEST(SettingsLoaderTest, SampleWritesOnlyWhatBothPolishPagesHold) {
  const SettingsLoad load = loadSettings(PELLUMAR_SOURCE_DIR "/examples/lexmend.ini");
  ASSERT_TRUE(load.settings) << load.error;
  std::vector<TextPair> pairs = load.settings->localChars;
  pairs.insert(pairs.end(), load.settings->replacements.begin(), load.settings->replacements.end());
  EXPECT_GT(pairs.size(), 10u);
  std::string scratch;
  for (const char* page : {"windows-1250", "ISO-8859-2"}) {
    for (const TextPair& pair : pairs) {
      EXPECT_EQ(firstUnholdable(pair.to, TextEncoding::legacy(CodePage::open(page)), scratch),
                std::nullopt)
          << page << ": " << pair.from << "=" << pair.to;
    }
  }
}

// A relative XDG_CONFIG_HOME counts as unset. The sample beside a
// program in a bin folder comes before the one it was built for; no place is
// listed twice. No other test reads these variables, so they are not put back.
TEST(SettingsLocationTest, ListsThePlacesBestFirst) {
  const std::string installed = PELLUMAR_DATADIR "/pellumar/lexmend.ini";
  const struct {
    const char *xdgConfigHome, *home;
    std::string executable;
    std::vector<std::string> expected;
  } cases[] = {
      {"cfg", "/h", "/b/pellumar", {"lexmend.ini", "/h/.config/pellumar/lexmend.ini", installed}},
      {"/x",
       nullptr,
       "/p/bin/pellumar",
       {"lexmend.ini", "/x/pellumar/lexmend.ini", "/p/share/pellumar/lexmend.ini", installed}},
      {nullptr, nullptr, PELLUMAR_DATADIR "/../bin/pellumar", {"lexmend.ini", installed}},
  };
  for (const auto& c : cases) {
    c.xdgConfigHome ? ::setenv("XDG_CONFIG_HOME", c.xdgConfigHome, 1)
                    : ::unsetenv("XDG_CONFIG_HOME");
    c.home ? ::setenv("HOME", c.home, 1) : ::unsetenv("HOME");
    EXPECT_EQ(settingsSearchOrder(c.executable), c.expected);
  }
  EXPECT_EQ(std::filesystem::path(currentExecutable()).filename(), "settings_tests");
}

}  // namespace
}  // namespace pellumar
