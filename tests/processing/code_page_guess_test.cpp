#include "processing/text/code_page_guess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "processing/text/text_encoding.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

// The page the guesser settles on for `bytes` fed whole.
std::shared_ptr<const CodePage> guessPage(std::string_view bytes,
                                          const CodePageCandidates& candidates) {
  CodePageGuesser guesser(candidates);
  guesser.feed(bytes);
  return guesser.best();
}

CodePageCandidates pages(std::initializer_list<const char*> names) {
  CodePageCandidates result;
  for (const char* name : names) result.push_back(CodePage::open(name));
  return result;
}

// The bytes of UTF-8 `text` in `page`.
std::string encoded(std::string_view text, const char* page) {
  std::string bytes;
  EXPECT_FALSE(CodePage::open(page)->encode(text, bytes)) << text << " in " << page;
  return bytes;
}

TEST(CodePageSpec, ReadsTheThreeForms) {
  const struct {
    const char* setting;
    std::vector<std::string> pages;
    std::string error;
  } cases[] = {{"auto", {"windows-1250", "ISO-8859-2"}, ""},
               {"Auto", {"windows-1250", "ISO-8859-2"}, ""},
               {"auto:windows-1251,KOI8-R", {"windows-1251", "KOI8-R"}, ""},
               {"auto: cp1252 , iso8859-15", {"windows-1252", "ISO-8859-15"}, ""},
               {"auto:latin2,windows-1250,ISO-8859-2", {"ISO-8859-2", "windows-1250"}, ""},
               {"cp1250", {"windows-1250"}, ""},
               {"koi8r", {"KOI8-R"}, ""},
               {"auto:windows-1250", {"windows-1250"}, ""},
               // Names as users write them, under the names the guesser reports.
               {"auto:WINDOWS-1251,windows1252,ISO_8859-5,latin1,Latin9,koi8-u,ibm852",
                {"windows-1251", "windows-1252", "ISO-8859-5", "ISO-8859-1", "ISO-8859-15",
                 "KOI8-U", "CP852"},
                ""},
               {"cp1259", {}, "Unknown code page \"cp1259\""},
               {"auto:", {}, "Malformed code page list \"auto:\""},
               {"auto:windows-1250,,ISO-8859-2",
                {},
                "Malformed code page list \"auto:windows-1250,,ISO-8859-2\""},
               {"auto:windows-1250,nope", {}, "Unknown code page \"nope\""},
               {"automatic", {}, "Unknown code page \"automatic\""},
               {"nope", {}, "Unknown code page \"nope\""}};
  for (const auto& c : cases) {
    const CodePageSpec parsed = parseCodePageSpec(c.setting);
    std::vector<std::string> names;
    for (const auto& page : parsed.candidates) names.push_back(page->name());
    EXPECT_EQ(names, c.pages) << c.setting;
    EXPECT_EQ(parsed.error, c.error) << c.setting;
  }
}

// A page whose lower half is not ASCII is read and written through its
// table, its NUL byte too.
TEST(CodePage, ReadsAndWritesAPageUnlikeAscii) {
  using namespace std::string_literals;
  std::string text, bytes;
  CodePage::open("IBM037")->decode("\xC8\x89\x40\x5A\0"s, text);
  EXPECT_EQ(text, "Hi !\0"s);
  EXPECT_TRUE(!CodePage::open("IBM037")->encode(text, bytes) && bytes == "\xC8\x89\x40\x5A\0"s);
}

TEST(CodePageGuess, ChoosesAmongTheCandidates) {
  testing::TempDir dir;
  const auto ce = pages({"windows-1250", "ISO-8859-2"});
  const auto ceReversed = pages({"ISO-8859-2", "windows-1250"});
  const auto latin1First = pages({"ISO-8859-1", "windows-1252"});
  const std::string polish = "Ale są tacy, którzy się śmieją. Źle!";
  const std::string sameInBoth = "Żółte łóżko";  // Ż ó ł ż: the same bytes in both pages
  const struct {
    const char* name;
    std::string bytes;
    CodePageCandidates candidates;
    const char* expected;
  } cases[] = {
      {"NoHighBytesFirstWins", "plain text", ceReversed, "ISO-8859-2"},
      {"SameInEveryCandidateFirstWins", encoded(sameInBoth, "windows-1250"), ce, "windows-1250"},
      {"SameInEveryCandidateFirstWinsReversed", encoded(sameInBoth, "windows-1250"), ceReversed,
       "ISO-8859-2"},
      {"Windows1250Polish", encoded(polish, "windows-1250"), ceReversed, "windows-1250"},
      // 0x84 and 0x93 are C1 controls in ISO-8859-2: never text, whatever else fits.
      {"C1BytesRuleOutIso", "\x84Tak\x93, powiedzia\xB3.", ceReversed, "windows-1250"},
      // ISO-8859-1 counts as windows-1252 where they differ: 0x93 and 0x94 are quotes.
      {"Latin1CountsAsWindows1252", "\x93Gr\xFC\xDF Gott\x94", latin1First, "windows-1252"},
      {"Latin1TieFirstWins", "Gr\xFC\xDF Gott", latin1First, "ISO-8859-1"}};
  // Detection on a file asks the guesser among the same candidates.
  for (const auto& c : cases) {
    EXPECT_EQ(guessPage(c.bytes, c.candidates)->name(), c.expected) << c.name;
    testing::writeBytes(dir.file("guess.txt"), c.bytes);
    const TextEncoding encoding = detectFileEncoding(dir.file("guess.txt"), c.candidates);
    EXPECT_EQ(encoding.name(), c.bytes == "plain text" ? "UTF-8" : c.expected) << c.name;
  }
}

// Subtitles of sentences in each language, in each of its legacy pages,
// guessed among the candidates a user of the region would list. Every one
// comes out right; a change to the weights that loses one must say why.
TEST(CodePageGuess, SubtitlesOfFourteenLanguages) {
  const auto centralAndWestern = pages({"windows-1250", "ISO-8859-2", "windows-1252"});
  // Languages, the pages they are written in, and the candidates.
  const std::tuple<std::vector<const char*>, std::vector<const char*>, CodePageCandidates>
      groups[] = {
          {{"pl", "cs", "sk", "hu", "sl", "hr"},
           {"windows-1250", "ISO-8859-2"},
           defaultCodePageCandidates()},
          {{"pl", "cs", "sk", "hu", "sl", "hr"}, {"windows-1250", "ISO-8859-2"}, centralAndWestern},
          {{"de", "fr", "es", "pt", "it", "nl"}, {"windows-1252", "ISO-8859-1"}, centralAndWestern},
          {{"ru", "bg"}, {"windows-1251", "KOI8-R"}, pages({"windows-1251", "KOI8-R"})}};
  int files = 0, right = 0;
  for (const auto& [languages, languagePages, candidates] : groups) {
    for (const char* language : languages) {
      std::ifstream in(std::string(PELLUMAR_TEST_DATA) + "/code_pages/" + language + ".txt");
      ASSERT_TRUE(in) << language;
      std::vector<std::string> snippets(1);
      for (std::string line; std::getline(in, line);) {
        if (!line.empty()) snippets.back() += line + "\r\n";
        if (line.empty() && !snippets.back().empty()) snippets.emplace_back();
      }
      for (const char* page : languagePages) {
        for (std::size_t i = 0; i < snippets.size(); ++i) {
          const std::string srt = "1\r\n00:00:01,000 --> 00:00:04,000\r\n" + snippets[i];
          std::string bytes, text;
          // German quotes have no place in ISO-8859-1.
          if (CodePage::open(page)->encode(srt, bytes)) continue;
          guessPage(bytes, candidates)->decode(bytes, text);
          ++files;
          right += text == srt;
          EXPECT_TRUE(text == srt || std::string(language) != "pl")
              << "Polish snippet " << i << " in " << page << " read wrongly";
        }
      }
    }
  }
  EXPECT_EQ(right, files) << right << " of " << files;
}

}  // namespace
}  // namespace pellumar
