#include "settings/settings_loader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

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
  for (int i = 1; i <= count; ++i)
    text += "|" + prefix + std::to_string(i) + "=v" + std::to_string(i);
  return text;
}

class SettingsLoaderTest : public ::testing::Test {
 protected:
  // A load in short, parts joined by "|": "L<from>=<to>" per local character,
  // "R<from>=<to>" per replacement, "S<suffix>" unless _PL, "P<page>,..." for
  // the legacy pages unless windows-1250,ISO-8859-2; or "E<message>", the
  // file's name in it written "INI".
  std::string summary(const SettingsLoad& load) {
    if (!load.settings) {
      std::string error = load.error;
      if (const auto at = error.find(path_); at != std::string::npos)
        error.replace(at, path_.size(), "INI");
      return "E" + error;
    }
    EXPECT_EQ(load.error, "");
    std::string text, pages;
    const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "|") + part; };
    for (const TextPair& pair : load.settings->localChars) add("L" + pair.from + "=" + pair.to);
    for (const TextPair& pair : load.settings->replacements) add("R" + pair.from + "=" + pair.to);
    if (load.settings->nameSuffix != "_PL") add("S" + load.settings->nameSuffix);
    for (const auto& page : load.settings->legacyPages())
      pages += (pages.empty() ? "" : ",") + page->name();
    if (pages != "windows-1250,ISO-8859-2") add("P" + pages);
    return text;
  }

  // Loads `bytes` with each "|" written as a CR LF line break.
  std::string load(const std::string& bytes) {
    std::string crLf;
    for (const char c : bytes) crLf += c == '|' ? "\r\n"s : std::string(1, c);
    testing::writeBytes(path_, crLf);
    return summary(loadSettings(path_));
  }

  testing::TempDir dir_;
  const std::string path_ = dir_.file("lexmend.ini");
};

TEST_F(SettingsLoaderTest, ReadsSectionsKeysAndCodePages) {
  const std::string longKey(40000, 'k'), longValue(40000, 'v');
  const std::string half = "[LOCAL_CHAR]" + numbered(30, "a") + "|[RSTRINGS]|r=s|[local_char]";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"; a|;NAMESUFIXADD=_x|;[RSTRINGS]|;=y", ""},
      // Headers: any case, followed by anything; other bracket lines end a section.
      {"[local_char]|x=y", "Lx=y"},
      {"[Local_Char] more text|x=y", "Lx=y"},
      {"[RStrings]|x=y", "Rx=y"},
      {"k=v|[RSTRINGS]=ignored|=y", "Rk=y"},
      {"[LOCAL_CHAR]|a=b|[LOCAL_CHARS]|x=y", "La=b"},
      {"[RSTRINGS]|a=b| [RSTRINGS]|x=y", "Ra=b|Ra= [RSTRINGS]|Rx=y"},
      {"[RSTRINGS]|a=b|[LOCAL_CHAR]|c=d", "Lc=d|Ra=b"},
      {"[RSTRINGS]|a=b|[OPTIONS]|c=d|[RSTRINGS]|e=f", "Ra=b|Re=f"},
      {"[RSTRINGS]|a=b|[EOF]|c=d", "Ra=b|Rc=d"},
      {"[RSTRINGS]|a=b|[EOF]k=v|=c", "Ra=b|Ra=c"},
      {"[RSTRINGS]|a=b|[eof]|c=d", "Ra=b"},
      {"[R\xC5\xBFtrings]|x=y", ""},  // upper-casing is ASCII only: no long s
      // Lines: a key carries over to lines without one, empty and ";" lines are skipped.
      {"[RSTRINGS]|k=v|;x=y||=z", "Rk=v|Rk=z"},
      {"[RSTRINGS]|k=v|   ", "Rk=v|Rk=   "},
      {"k=v|[RSTRINGS]|=x|yz", "Rk=x|Rk=yz"},
      {"[LOCAL_CHAR]|k=v|[RSTRINGS]|=x", "Lk=v|Rk=x"},
      {"[OPT]=1|[RSTRINGS]|=2", "R[OPT]=2"},
      {"[RSTRINGS]|xyz|=w", "R=xyz|R=w"},
      {"[RSTRINGS]|a=b=c|x=|=|==", "Ra=b=c|Rx=|Rx=|Rx=="},
      {"[LOCAL_CHAR]| A = b |A=b|A=b|ab=CD", "L A = b |LA=b|LA=b|Lab=CD"},
      {"a=b|[OPTIONS]|c=d", ""},
      {"[RSTRINGS]\ra=b\nc=d\r\ne=f", "Ra=b|Rc=d|Re=f"},
      {"[RSTRINGS]|" + longKey + "=" + longValue, "R" + longKey + "=" + longValue},
      {"[RSTRINGS]|k\0=\xFF\0\x98"s, "Rk\0=\xCB\x99\0\xED\xB2\x98"s},  // 0x98: undefined, escaped
      // NAMESUFIXADD, in any section; the last one wins, an empty one means _PL.
      {"[RSTRINGS]|NAMESUFIXADD=_x", "RNAMESUFIXADD=_x|S_x"},
      {"[LOCAL_CHAR]|namesufixadd=_x", "Lnamesufixadd=_x|S_x"},
      {"[OPTIONS]|NAMESUFIXADD=_fixed", "S_fixed"},
      {" NAMESUFIXADD=_x|NAMESUFIXADD =_y|namesuf\xC4\xB1xadd=_z", ""},
      {"NAMESUFIXADD= _x ", "S _x "},
      {"NAMESUFIXADD=_a=b", "S_a=b"},
      {"NAMESUFIXADD=_x|NAMESUFIXADD=_y", "S_y"},
      {"NAMESUFIXADD=_x|NAMESUFIXADD=", ""},
      {"NAMESUFIXADD=_fix|[OPTIONS]", "S[OPTIONS]"},
      {"NAMESUFIXADD=_fix|=_y", "S_y"},
      {"NAMESUFIXADD=_fix|[EOF]", "S_fix"},
      // Full tables load, one entry more fails, counted across repeated headers.
      {"[LOCAL_CHAR]" + numbered(60, "k"), numbered(60, "Lk").substr(1)},
      {"[LOCAL_CHAR]" + numbered(61, "k"), kLocalLimit},
      {"[RSTRINGS]" + numbered(100, "k"), numbered(100, "Rk").substr(1)},
      {"[RSTRINGS]" + numbered(101, "k"), kReplacementLimit},
      {"[RSTRINGS]" + numbered(100, "k") + "|[LOCAL_CHAR]" + numbered(60, "k"),
       numbered(60, "Lk").substr(1) + numbered(100, "Rk")},
      {half + numbered(30, "b"), numbered(30, "La").substr(1) + numbered(30, "Lb") + "|Rr=s"},
      {half + numbered(31, "b"), kLocalLimit},
      {"[RSTRINGS]" + numbered(50, "k") + "|[OPTIONS]|[RSTRINGS]" + numbered(51, "j"),
       kReplacementLimit},
      {numbered(200, "k").substr(1) + "|[OPTIONS]" + numbered(200, "k") + "|[RSTRINGS]|a=b",
       "Ra=b"},
      {"CODEPAGE=NO-SUCH-PAGE|[LOCAL_CHAR]" + numbered(61, "k"), kLocalLimit},
      // Every encoding; a legacy file is read again in the page it names or reads best in.
      {"[LOCAL_CHAR]|\xC4\x85=a", "L\xC4\x85=a"},
      {"\xEF\xBB\xBF[LOCAL_CHAR]|\xC4\x85=a", "L\xC4\x85=a"},
      {"[LOCAL_CHAR]|\xB9=a", "L\xC4\x85=a"},  // windows-1250
      {"[LOCAL_CHAR]|\xB1=a", "L\xC4\x85=a"},  // a letter reads better than a sign
      {utf16(u"[LOCAL_CHAR]\r\n\u0105=a\r\n", false), "L\xC4\x85=a"},
      {utf16(u"[LOCAL_CHAR]\n\u0105=a", true), "L\xC4\x85=a"},
      {"CODEPAGE=ISO-8859-2|[LOCAL_CHAR]|\xB1=a", "L\xC4\x85=a|PISO-8859-2"},
      {"[LOCAL_CHAR]|\xB1=a|[OPTIONS]|codepage=ISO-8859-2", "L\xC4\x85=a|PISO-8859-2"},
      {"CODEPAGE=windows-1250|[LOCAL_CHAR]|\xB1=a", "L\xC2\xB1=a|Pwindows-1250"},
      {"CODEPAGE=auto:windows-1251,KOI8-R|[LOCAL_CHAR]|\xDD\xD5\xCB\xC1=pike|\xB3\xD6=Ez",
       "L\xD1\x89\xD1\x83\xD0\xBA\xD0\xB0=pike|L\xD0\x81\xD0\xB6=Ez|Pwindows-1251,KOI8-R"},
      {"CODEPAGE=ISO-8859-2|[LOCAL_CHAR]|\xC2\xB1=a", "L\xC2\xB1=a|PISO-8859-2"},
      {utf16(u"CODEPAGE=ISO-8859-2\r\n[RSTRINGS]\r\n\u0105=a", false), "R\xC4\x85=a|PISO-8859-2"},
      // CODEPAGE: the last one counts, an empty one means the default.
      {"CODEPAGE=cp1252", "Pwindows-1252"},
      {"CodePage=ISO-8859-2", "PISO-8859-2"},
      {"CODEPAGE=|CODEPAGE=ISO-8859-2|CODEPAGE=", ""},
      {"CODEPAGE=NO-SUCH-PAGE|CODEPAGE=ISO-8859-2", "PISO-8859-2"},
      {" CODEPAGE=NO-SUCH-PAGE|CODEPAGE =NO-SUCH-PAGE", ""},
      {"CODEPAGE=ISO-8859-2|=KOI8-R", "PKOI8-R"},
      {"[RSTRINGS]|CODEPAGE=ISO-8859-2", "RCODEPAGE=ISO-8859-2|PISO-8859-2"},
      {"CODEPAGE=auto:windows-1250,", "EMalformed code page list \"auto:windows-1250,\" in INI."},
      {"CODEPAGE=NO-SUCH-PAGE", "EUnknown code page \"NO-SUCH-PAGE\" in INI."},
      {"CODEPAGE=ISO-8859-2|CODEPAGE=NO-SUCH-PAGE", "EUnknown code page \"NO-SUCH-PAGE\" in INI."},
      {"CODEPAGE=ISO-8859-2|[OPTIONS]", "EUnknown code page \"[OPTIONS]\" in INI."},
      // Read once: reading it again for every line would take minutes.
      {"[RSTRINGS]|first=1|[OPTIONS]" + numbered(200000, "key") + "|NAMESUFIXADD=_end",
       "Rfirst=1|S_end"},
  };
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(bytes.substr(0, 100));
    EXPECT_EQ(load(bytes), expected);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_F(SettingsLoaderTest, MissingOrUnreadableFile) {
  EXPECT_EQ(summary(loadSettings(path_)), "EINI not found.");
  std::filesystem::create_directory(path_);
  EXPECT_EQ(summary(loadSettings(path_)), "EINI not found.");
  // Reading this file at offset 0 fails with EIO, also for root.
  const SettingsLoad result = loadSettings("/proc/self/mem");
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_NE(result.error.find("/proc/self/mem"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace pellumar
