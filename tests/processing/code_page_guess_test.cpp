#include "processing/code_page_guess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "processing/text_encoding.h"
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

std::vector<std::string> namesOf(const CodePageCandidates& candidates) {
  std::vector<std::string> names;
  for (const auto& page : candidates) names.push_back(page->name());
  return names;
}

// The bytes of UTF-8 `text` in `page`.
std::string encoded(std::string_view text, const char* page) {
  std::string bytes;
  EXPECT_FALSE(CodePage::open(page)->encode(text, bytes)) << text << " in " << page;
  return bytes;
}

struct SpecCase {
  const char* setting;
  std::vector<std::string> pages;
  std::string error;
};

TEST(CodePageSpec, ReadsTheThreeForms) {
  const SpecCase cases[] = {
      {"auto", {"windows-1250", "ISO-8859-2"}, ""},
      {"Auto", {"windows-1250", "ISO-8859-2"}, ""},
      {"auto:windows-1251,KOI8-R", {"windows-1251", "KOI8-R"}, ""},
      {"auto: cp1252 , iso8859-15", {"windows-1252", "ISO-8859-15"}, ""},
      {"auto:latin2,windows-1250,ISO-8859-2", {"ISO-8859-2", "windows-1250"}, ""},
      {"cp1250", {"windows-1250"}, ""},
      {"koi8r", {"KOI8-R"}, ""},
      {"auto:windows-1250", {"windows-1250"}, ""},
      {"auto:", {}, "Malformed code page list \"auto:\""},
      {"auto:windows-1250,,ISO-8859-2",
       {},
       "Malformed code page list \"auto:windows-1250,,ISO-8859-2\""},
      {"auto:windows-1250,nope", {}, "Unknown code page \"nope\""},
      {"automatic", {}, "Unknown code page \"automatic\""},
      {"nope", {}, "Unknown code page \"nope\""},
  };
  for (const SpecCase& c : cases) {
    const CodePageSpec parsed = parseCodePageSpec(c.setting);
    EXPECT_EQ(namesOf(parsed.candidates), c.pages) << c.setting;
    EXPECT_EQ(parsed.error, c.error) << c.setting;
  }
}

TEST(CodePageSpec, CanonicalNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"WINDOWS-1251", "windows-1251"},
      {"windows1252", "windows-1252"},
      {"ISO_8859-15", "ISO-8859-15"},
      {"latin1", "ISO-8859-1"},
      {"Latin9", "ISO-8859-15"},
      {"koi8-u", "KOI8-U"},
      {"ibm852", "CP852"},
      {"UTF-8", "UTF-8"},
      {"cp1259", "cp1259"},
  };
  for (const auto& [given, canonical] : cases) {
    EXPECT_EQ(canonicalCodePageName(given), canonical) << given;
  }
}

struct GuessCase {
  const char* name;
  std::string bytes;
  CodePageCandidates candidates;
  const char* expected;
};

TEST(CodePageGuess, ChoosesAmongTheCandidates) {
  testing::TempDir dir;
  const auto ce = pages({"windows-1250", "ISO-8859-2"});
  const auto ceReversed = pages({"ISO-8859-2", "windows-1250"});
  const auto mixed = pages({"windows-1250", "ISO-8859-2", "windows-1252"});
  const auto cyrillic = pages({"windows-1251", "KOI8-R"});
  const auto latin1First = pages({"ISO-8859-1", "windows-1252"});
  const std::string polish = "Ale są tacy, którzy się śmieją. Źle!";
  const std::string sameInBoth = "Żółte łóżko";  // Ż ó ł ż: the same bytes in both pages
  const std::string russian = "Привет, как дела? Я не знаю, что сказать.";
  const GuessCase cases[] = {
      {"NoHighBytesFirstWins", "plain text", ceReversed, "ISO-8859-2"},
      {"SameInEveryCandidateFirstWins", encoded(sameInBoth, "windows-1250"), ce, "windows-1250"},
      {"SameInEveryCandidateFirstWinsReversed", encoded(sameInBoth, "windows-1250"), ceReversed,
       "ISO-8859-2"},
      {"Windows1250Polish", encoded(polish, "windows-1250"), ceReversed, "windows-1250"},
      {"Iso88592Polish", encoded(polish, "ISO-8859-2"), ce, "ISO-8859-2"},
      // 0x84 and 0x93 are C1 controls in ISO-8859-2: never text, whatever else fits.
      {"C1BytesRuleOutIso", "\x84Tak\x93, powiedzia\xB3.", ceReversed, "windows-1250"},
      {"CzechIsoNotReadAsPolish", encoded("Ještě že jsi tady, miláčku.", "ISO-8859-2"), ce,
       "ISO-8859-2"},
      {"FrenchAmongThree", encoded("Très bien, à demain près de la gare.", "windows-1252"), mixed,
       "windows-1252"},
      {"Koi8r", encoded(russian, "KOI8-R"), cyrillic, "KOI8-R"},
      {"Windows1251", encoded(russian, "windows-1251"), pages({"KOI8-R", "windows-1251"}),
       "windows-1251"},
      // ISO-8859-1 counts as windows-1252 where they differ: 0x93 and 0x94 are quotes.
      {"Latin1CountsAsWindows1252", "\x93Gr\xFC\xDF Gott\x94", latin1First, "windows-1252"},
      {"Latin1TieFirstWins", "Gr\xFC\xDF Gott", latin1First, "ISO-8859-1"},
  };
  for (const GuessCase& c : cases) {
    EXPECT_EQ(guessPage(c.bytes, c.candidates)->name(), c.expected) << c.name;
    const std::string path = dir.file("guess.txt");
    testing::writeBytes(path, c.bytes);
    const TextEncoding encoding = detectFileEncoding(path, c.candidates);
    if (encoding.form == TextEncoding::Form::Legacy) {
      EXPECT_EQ(encoding.name(), c.expected) << c.name;
    }
  }
}

// Subtitles of sentences in each language, in each of its legacy pages,
// guessed among the candidates a user of the region would list.
TEST(CodePageGuess, SubtitlesOfFourteenLanguages) {
  struct Group {
    std::vector<const char*> languages;
    CodePageCandidates candidates;
  };
  const Group groups[] = {
      {{"pl", "cs", "sk", "hu", "sl", "hr"}, defaultCodePageCandidates()},
      {{"pl", "cs", "sk", "hu", "sl", "hr", "de", "fr", "es", "pt", "it", "nl"},
       pages({"windows-1250", "ISO-8859-2", "windows-1252"})},
      {{"ru", "bg"}, pages({"windows-1251", "KOI8-R"})},
  };
  const std::map<std::string, std::vector<const char*>> pagesOf = {
      {"pl", {"windows-1250", "ISO-8859-2"}}, {"cs", {"windows-1250", "ISO-8859-2"}},
      {"sk", {"windows-1250", "ISO-8859-2"}}, {"hu", {"windows-1250", "ISO-8859-2"}},
      {"sl", {"windows-1250", "ISO-8859-2"}}, {"hr", {"windows-1250", "ISO-8859-2"}},
      {"de", {"windows-1252", "ISO-8859-1"}}, {"fr", {"windows-1252", "ISO-8859-1"}},
      {"es", {"windows-1252", "ISO-8859-1"}}, {"pt", {"windows-1252", "ISO-8859-1"}},
      {"it", {"windows-1252", "ISO-8859-1"}}, {"nl", {"windows-1252", "ISO-8859-1"}},
      {"ru", {"windows-1251", "KOI8-R"}},     {"bg", {"windows-1251", "KOI8-R"}},
  };
  int files = 0, right = 0;
  for (const Group& group : groups) {
    for (const char* language : group.languages) {
      std::ifstream in(std::string(PELLUMAR_TEST_DATA) + "/code_pages/" + language + ".txt");
      ASSERT_TRUE(in) << language;
      std::stringstream whole;
      whole << in.rdbuf();
      std::vector<std::string> snippets(1);
      std::string line;
      while (std::getline(whole, line)) {
        if (line.empty()) {
          if (!snippets.back().empty()) snippets.emplace_back();
        } else {
          snippets.back() += line + "\r\n";
        }
      }
      for (const char* page : pagesOf.at(language)) {
        for (std::size_t i = 0; i < snippets.size(); ++i) {
          const std::string srt = "1\r\n00:00:01,000 --> 00:00:04,000\r\n" + snippets[i];
          std::string bytes, text;
          // German quotes have no place in ISO-8859-1.
          if (CodePage::open(page)->encode(srt, bytes)) continue;
          guessPage(bytes, group.candidates)->decode(bytes, text);
          ++files;
          if (text == srt) {
            ++right;
          } else if (std::string(language) == "pl") {
            ADD_FAILURE() << "Polish snippet " << i << " in " << page << " read wrongly";
          }
        }
      }
    }
  }
  EXPECT_GE(right * 100, files * 99) << right << " of " << files;
}

}  // namespace
}  // namespace pellumar
