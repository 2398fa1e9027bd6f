#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "processing/code_page.h"
#include "processing/utf8.h"
#include "tests/settings/settings_file_test.h"

namespace pellumar {
namespace {

using testing::TempDir;
using testing::utf16;
using testing::writeBytes;
using Pairs = std::vector<TextPair>;

constexpr const char* kSmallA = "\xC4\x85";  // ą
constexpr const char* kPlusMinus = "\xC2\xB1";

std::string decoded(const CodePage& page, std::string_view bytes) {
  std::string text;
  page.decode(bytes, text);
  return text;
}

// What the loaded legacy page, or the first candidate, makes of one byte.
std::string legacyChar(const Settings& settings, char byte) {
  if (settings.legacyPages().empty()) return "(no page)";
  return decoded(*settings.legacyPages().front(), std::string(1, byte));
}

using SettingsEncodingTest = testing::SettingsFileTest;

TEST_F(SettingsEncodingTest, SameEntryFromEveryEncoding) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"utf-8", "[LOCAL_CHAR]\r\n\xC4\x85=a\r\n"},
      {"utf-8 with mark", "\xEF\xBB\xBF[LOCAL_CHAR]\r\n\xC4\x85=a\r\n"},
      {"windows-1250", "[LOCAL_CHAR]\r\n\xB9=a\r\n"},
      {"utf-16le", utf16(u"[LOCAL_CHAR]\r\ną=a\r\n", false)},
      {"utf-16be", utf16(u"[LOCAL_CHAR]\ną=a", true)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(loadOk(c.bytes).localChars, (Pairs{{kSmallA, "a"}}));
  }
}

TEST_F(SettingsEncodingTest, LegacyFileIsReadInTheCodePageItNames) {
  // 0xB1 is ą in ISO-8859-2 but ± in windows-1250; the key may come after the entry.
  const std::string cases[] = {
      "CODEPAGE=ISO-8859-2\r\n[LOCAL_CHAR]\r\n\xB1=a\r\n",
      "[LOCAL_CHAR]\r\n\xB1=a\r\n[OPTIONS]\r\ncodepage=ISO-8859-2\r\n",
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes);
    const Settings settings = loadOk(bytes);
    EXPECT_EQ(settings.localChars, (Pairs{{kSmallA, "a"}}));
    EXPECT_EQ(legacyChar(settings, '\xB1'), kSmallA);
  }
  EXPECT_EQ(loadOk("CODEPAGE=windows-1250\r\n[LOCAL_CHAR]\r\n\xB1=a\r\n").localChars,
            (Pairs{{kPlusMinus, "a"}}));
  // Without the key, the page is guessed: a letter reads better than a sign.
  EXPECT_EQ(loadOk("[LOCAL_CHAR]\r\n\xB1=a\r\n").localChars, (Pairs{{kSmallA, "a"}}));
}

TEST_F(SettingsEncodingTest, CodePageForms) {
  struct Case {
    std::string bytes;
    std::vector<std::string> pages;  // the legacy pages chosen among, preferred first
  };
  const Case cases[] = {
      {"", {"windows-1250", "ISO-8859-2"}},
      {"CODEPAGE=auto:windows-1251,koi8-r\r\n", {"windows-1251", "KOI8-R"}},
      {"CODEPAGE=cp1252\r\n", {"windows-1252"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::vector<std::string> names;
    for (const auto& page : loadOk(c.bytes).legacyPages()) names.push_back(page->name());
    EXPECT_EQ(names, c.pages);
  }
  const SettingsLoad bad = loadBytes("CODEPAGE=auto:windows-1250,\r\n");
  EXPECT_FALSE(bad.settings.has_value());
  EXPECT_EQ(bad.error, "Malformed code page list \"auto:windows-1250,\" in " + path_ + ".");
}

TEST_F(SettingsEncodingTest, LegacyFileOfAutoFormIsReadInTheCandidateItReadsBestIn) {
  // "щука=szczupak" and "Ёж=Ez" in KOI8-R; in windows-1251 they would read
  // as capitals and mixed case.
  const Settings settings = loadOk(
      "CODEPAGE=auto:windows-1251,KOI8-R\r\n[LOCAL_CHAR]\r\n\xDD\xD5\xCB\xC1=szczupak\r\n"
      "\xB3\xD6=Ez\r\n");
  EXPECT_EQ(settings.localChars,
            (Pairs{{"\xD1\x89\xD1\x83\xD0\xBA\xD0\xB0", "szczupak"}, {"\xD0\x81\xD0\xB6", "Ez"}}));
}

TEST_F(SettingsEncodingTest, CodePageOfAUnicodeFileOnlyChoosesTheLegacyPage) {
  const Settings utf8 = loadOk("CODEPAGE=ISO-8859-2\r\n[LOCAL_CHAR]\r\n\xC2\xB1=a\r\n");
  EXPECT_EQ(utf8.localChars, (Pairs{{kPlusMinus, "a"}}));
  EXPECT_EQ(legacyChar(utf8, '\xB1'), kSmallA);

  const Settings utf16le = loadOk(utf16(u"CODEPAGE=ISO-8859-2\r\n[RSTRINGS]\r\ną=a", false));
  EXPECT_EQ(utf16le.replacements, (Pairs{{kSmallA, "a"}}));
  EXPECT_EQ(legacyChar(utf16le, '\xB1'), kSmallA);
}

TEST_F(SettingsEncodingTest, CodePageKeyRules) {
  struct Case {
    std::string bytes;
    char byte;
    const char* expected;  // what the chosen page makes of `byte`
  };
  const Case cases[] = {
      {"CODEPAGE=\r\n", '\xB1', kPlusMinus},
      {"CODEPAGE=ISO-8859-2\r\nCODEPAGE=\r\n", '\xB1', kPlusMinus},
      {"CODEPAGE=NO-SUCH-PAGE\r\nCODEPAGE=ISO-8859-2\r\n", '\xB1', kSmallA},
      {" CODEPAGE=NO-SUCH-PAGE\r\nCODEPAGE =NO-SUCH-PAGE\r\n", '\xB1', kPlusMinus},
      {"CodePage=ISO-8859-2\r\n", '\xB1', kSmallA},
      {"CODEPAGE=ISO-8859-2\r\n=KOI8-R\r\n", '\xC1', "\xD0\xB0"},  // KOI8-R а
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(legacyChar(loadOk(c.bytes), c.byte), c.expected);
  }
}

TEST_F(SettingsEncodingTest, CodePageInsideASectionIsAlsoAnEntry) {
  const Settings settings = loadOk("[RSTRINGS]\r\nCODEPAGE=ISO-8859-2\r\n");
  EXPECT_EQ(settings.replacements, (Pairs{{"CODEPAGE", "ISO-8859-2"}}));
  EXPECT_EQ(legacyChar(settings, '\xB1'), kSmallA);
}

TEST_F(SettingsEncodingTest, UnknownCodePage) {
  struct Case {
    std::string bytes;
    std::string page;
  };
  const Case cases[] = {
      {"CODEPAGE=NO-SUCH-PAGE\r\n", "NO-SUCH-PAGE"},
      {"CODEPAGE=ISO-8859-2\r\nCODEPAGE=NO-SUCH-PAGE\r\n", "NO-SUCH-PAGE"},
      // The key carries over to a line without "=".
      {"CODEPAGE=ISO-8859-2\r\n[OPTIONS]\r\n", "[OPTIONS]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const SettingsLoad result = loadBytes(c.bytes);
    EXPECT_FALSE(result.settings.has_value());
    EXPECT_EQ(result.error, "Unknown code page \"" + c.page + "\" in " + path_ + ".");
  }
}

TEST_F(SettingsEncodingTest, FullTableIsReportedBeforeAnUnknownCodePage) {
  std::string bytes = "CODEPAGE=NO-SUCH-PAGE\r\n[LOCAL_CHAR]\r\n";
  for (int i = 0; i < 61; ++i) bytes += "k=v\r\n";
  const SettingsLoad result = loadBytes(bytes);
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_EQ(result.error, "No more than 60 subtitutions allowed.");
}

TEST_F(SettingsEncodingTest, NulAndUndefinedBytesStayInEntries) {
  using namespace std::string_literals;
  // 0x98 is undefined in windows-1250 and decodes to its escape character.
  const Settings settings = loadOk("[RSTRINGS]\r\nk\0=\xFF\0\x98"s);
  std::string escaped;
  appendUtf8(kEscapedByteBase + 0x98, escaped);
  EXPECT_EQ(settings.replacements, (Pairs{{"k\0"s, "\xCB\x99\0"s + escaped}}));
}

TEST_F(SettingsEncodingTest, LargeFileIsReadOnce) {
  // Reading the file again for every line would take minutes here.
  std::string bytes = "[RSTRINGS]\r\nfirst=1\r\n[OPTIONS]\r\n";
  for (int i = 0; i < 200000; ++i) bytes += "key" + std::to_string(i) + "=value\r\n";
  bytes += "NAMESUFIXADD=_end\r\n";
  const auto start = std::chrono::steady_clock::now();
  const Settings settings = loadOk(bytes);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(settings.nameSuffix, "_end");
  EXPECT_EQ(settings.replacements, (Pairs{{"first", "1"}}));
  EXPECT_LT(elapsed, std::chrono::seconds(20));
}

TEST_F(SettingsEncodingTest, ReadErrorIsReported) {
  // Reading this file at offset 0 fails with EIO, also for root.
  const std::string file = "/proc/self/mem";
  const SettingsLoad result = loadSettings(file);
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_NE(result.error.find(file), std::string::npos) << result.error;
}

TEST_F(SettingsEncodingTest, UnreadableFileIsReported) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  writeBytes(path_, "a=b\r\n");
  ASSERT_EQ(chmod(path_.c_str(), 0), 0);
  const SettingsLoad result = loadSettings(path_);
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_NE(result.error.find(path_), std::string::npos) << result.error;
  EXPECT_EQ(result.error.find("not found"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace pellumar
