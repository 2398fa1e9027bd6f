#include "processing/text/code_page_guess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "processing/text/code_page_setting.h"
#include "processing/text/text_encoding.h"
#include "tests/support/test_files.h"

namespace pellumar {
namespace {

CodePageCandidates pages(const std::string& setting) {
  return parseCodePageSetting("auto:" + setting).candidates;
}

std::string encoded(std::string_view text, const char* page) {
  std::string bytes;
  CodePage::open(page)->encode(text, bytes);
  return bytes;
}

// "auto" alone chooses among the default pages. A page whose lower half is
// not ASCII is read and written through its table, NUL included.
TEST(CodePage, AutoAndAPageUnlikeAscii) {
  EXPECT_EQ(parseCodePageSetting(" Auto ").candidates, defaultCodePageCandidates());
  using namespace std::string_literals;
  std::string text, bytes;
  CodePage::open("IBM037")->decode("\xC8\x89\x40\x5A\0"s, text);
  EXPECT_EQ(text, "Hi !\0"s);
  EXPECT_TRUE(!CodePage::open("IBM037")->encode(text, bytes) && bytes == "\xC8\x89\x40\x5A\0"s);
}

// Names as people write them come to the names iconv and users know.
TEST(CodePage, SettingsNameTheUsualPages) {
  const std::pair<const char*, const char*> cases[] = {
      {"cp1250", "windows-1250"}, {"WIN1251", "windows-1251"}, {"iso8859_2", "ISO-8859-2"},
      {"Latin2", "ISO-8859-2"},   {"latin10", "ISO-8859-16"},  {"koi8u", "KOI8-U"},
      {"IBM852", "CP852"},        {"cp866", "CP866"},          {"KOI8-R", "KOI8-R"},
  };
  for (const auto& [written, name] : cases) {
    const CodePageSetting setting = parseCodePageSetting(written);
    ASSERT_EQ(setting.candidates.size(), 1u) << written;
    EXPECT_EQ(setting.candidates.front()->name(), name) << written;
  }
}

// Among the candidates, the page the text reads best in; on a tie the first.
// Detection on a file asks the guesser among the same candidates.
TEST(CodePageGuess, ChoosesAmongTheCandidates) {
  testing::TempDir dir;
  const std::string sameInBoth = encoded("Żółte łóżko", "windows-1250");  // Ż ó ł ż alike
  const auto expect = [&](const std::string& bytes, const char* candidates, const char* page) {
    testing::writeBytes(dir.file("guess.txt"), bytes);
    EXPECT_EQ(detectFileEncoding(dir.file("guess.txt"), pages(candidates)).name(), page) << bytes;
  };
  expect(sameInBoth, "windows-1250,latin2", "windows-1250");
  expect(sameInBoth, "latin2,windows-1250", "ISO-8859-2");
  expect(encoded("Ale są tacy, którzy się śmieją. Źle!", "windows-1250"), "latin2,cp1250",
         "windows-1250");
  // 0x84 and 0x93 are C1 controls in ISO-8859-2: never text, whatever else fits.
  expect("\x84Tak\x93, powiedzia\xB3.", "latin2,cp1250", "windows-1250");
  // ISO-8859-1 counts as windows-1252 where they differ: 0x93 and 0x94 are quotes.
  expect("\x93Gr\xFC\xDF Gott\x94", "latin1,cp1252", "windows-1252");
  expect("Gr\xFC\xDF Gott", "latin1,cp1252", "ISO-8859-1");
  // Guillemets, which ISO-8859-2 reads as Ť and ť, with no-break spaces or none.
  expect(
      "\xAB"
      "Adi\xF3s\xBB y \xABgracias\xBB, dijo \xE9l.",
      "latin2,cp1252", "windows-1252");
  expect("\xAB\xA0Tr\xE8s bien\xA0\xBB, dit-il.", "latin2,cp1252", "windows-1252");
  // Common words tell the language, and the language the page: read in the
  // other page, ž would be Slovak ľ, and ù Czech ů.
  expect(encoded("Tega moža ni doma in ga ne bo, ker je mož v službi.", "latin2"), "cp1250,latin2",
         "ISO-8859-2");
  expect(encoded("Il menù di oggi non ha un prezzo per tutti, ma questo non si sa.", "cp1252"),
         "cp1250,latin2,cp1252", "windows-1252");
  // Where the likeliest languages read alike in every page (é is Czech,
  // Hungarian and French), the next decides: ñ is Spanish, ń is not.
  expect(encoded("Inglés, francés, portugués, japonés, holandés, español", "cp1252"),
         "cp1250,latin2,cp1252", "windows-1252");
}

// Subtitles of sentences in each language, in each of its legacy pages,
// guessed among the candidates a user of the region would list. Every one
// comes out right; a change to the weights that loses one must say why.
TEST(CodePageGuess, SubtitlesOfFourteenLanguages) {
  int files = 0;
  const auto expect = [&](const char* languages, const char* written, const char* candidates) {
    std::istringstream names(languages);
    for (std::string language; names >> language;) {
      std::ifstream in(std::string(PELLUMAR_TEST_DATA) + "/code_pages/" + language + ".txt");
      std::vector<std::string> snippets(1);
      for (std::string line; std::getline(in, line);) {
        if (!line.empty()) snippets.back() += line + "\r\n";
        if (line.empty() && !snippets.back().empty()) snippets.emplace_back();
      }
      for (const auto& page : pages(written)) {
        for (const std::string& snippet : snippets) {
          const std::string srt = "1\r\n00:00:01,000 --> 00:00:04,000\r\n" + snippet;
          std::string bytes, text;
          // German quotes have no place in ISO-8859-1.
          if (page->encode(srt, bytes)) continue;
          CodePageGuesser guesser(pages(candidates));
          guesser.feed(bytes);
          guesser.best()->decode(bytes, text);
          EXPECT_EQ(text, srt) << language << " in " << page->name();
          ++files;
        }
      }
    }
  };
  expect("pl cs sk hu sl hr", "cp1250,latin2", "cp1250,latin2");
  expect("pl cs sk hu sl hr", "cp1250,latin2", "cp1250,latin2,cp1252");
  expect("de fr es pt it nl", "cp1252,latin1", "cp1250,latin2,cp1252");
  expect("ru bg", "cp1251,koi8r", "cp1251,koi8r");
  EXPECT_GT(files, 100);
}

}  // namespace
}  // namespace pellumar
