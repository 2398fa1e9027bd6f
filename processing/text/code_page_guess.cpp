#include "processing/text/code_page_guess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "processing/text/guess_languages.h"
#include "processing/text/letter_case.h"
#include "processing/text/utf8.h"

namespace pellumar {

namespace {

// What a letter that fits no language costs, against what one that fits earns.
constexpr std::int64_t kStrayLetter = 2;
// A symbol inside a word ("s±")
constexpr std::int64_t kSymbolInWord = 6;
// A quote or dash against a word: fine, but no evidence for the page either.
constexpr std::int64_t kMarkAtWordEdge = 1;
// A consonant between two others, which a vowel there would not be ("prčs"
// for "près")
constexpr std::int64_t kConsonantCluster = 1;
// A word in mixed case ("sĄ", "żDónde", "ĄEl")
constexpr std::int64_t kMixedCase = 6;
// A word that opens with a capital and closes with the same letter in small
// ("Ťadiósť"): the guillemets of «adiós» in another page.
constexpr std::int64_t kLetterAsQuotes = 6;
// A capital after a capital: words in capitals are rare in subtitles, and
// they are how a Cyrillic text reads in the other of KOI8 and windows-125x.
constexpr std::int64_t kCapitalAfterCapital = 1;
// A capital after a small letter ("sŤ" for "s«"): no word is written so.
constexpr std::int64_t kCapitalAfterSmall = 3;

// A common word of a language, against a letter that fits it
constexpr std::int64_t kCommonWord = 1;
// A common word with letters from 0x80 up, as read in a page
constexpr std::int64_t kCommonWordRead = 2;

// Words holding bytes from 0x80 up after which the answer is settled.
constexpr std::size_t kEnoughWords = 2000;

// Symbols that may stand at the start or end of a word: quotes, dashes,
// ellipses and the like.
bool isWordEdgeMark(char32_t c) {
  switch (c) {
    case 0xA1:
    case 0xBF:
    case 0xAA:  // ª and º of "1ª", "nº"
    case 0xBA:
    case 0xAB:
    case 0xBB:
    case 0xB0:
    case 0xB7:
    case 0xA7:
    case 0x2039:
    case 0x203A:
    case 0x201E:
    case 0x201C:
    case 0x201D:
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x2013:
    case 0x2014:
    case 0x2026:
    case 0x2022:
    case 0x2122:
    case 0x20AC:
      return true;
    default:
      return false;
  }
}

bool isAsciiVowel(unsigned char c) {
  switch (c | 0x20) {
    case 'a':
    case 'e':
    case 'i':
    case 'o':
    case 'u':
    case 'y':
      return true;
    default:
      return false;
  }
}

bool isAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool isWordByte(unsigned char c) { return c >= 0x80 || isAsciiLetter(c); }

}  // namespace

struct CodePageGuesser::Candidate {
  enum class Kind : std::uint8_t { Letter, Symbol, EdgeMark, Space, NotText };
  struct Byte : LetterFacts {
    Kind kind = Kind::NotText;
    bool upper = false;
    char32_t lower = 0;      // the letter in small
    bool opensWord = false;  // ¡ and ¿, which stand in front of a sentence's first word
  };

  std::shared_ptr<const CodePage> page;
  std::array<Byte, 128> high;  // bytes 0x80 to 0xFF
  std::array<std::int64_t, kLanguageCount> fit{};
  std::int64_t penalty = 0;
  std::int64_t notText = 0;

  explicit Candidate(std::shared_ptr<const CodePage> from) : page(std::move(from)) {
    for (int b = 0x80; b < 0x100; ++b) {
      std::string utf8;
      page->decode(std::string(1, static_cast<char>(b)), utf8);
      std::size_t pos = 0;
      const char32_t c = nextCodePoint(utf8, pos);
      Byte& entry = high[static_cast<std::size_t>(b - 0x80)];
      if (pos != utf8.size() || c < 0xA0 || (c >= kEscapedByteBase && c < kEscapedByteBase + 256)) {
        entry.kind = Kind::NotText;
      } else if (c == 0xA0) {
        entry.kind = Kind::Space;
      } else if (isLetter(c)) {
        entry.kind = Kind::Letter;
        entry.upper = isUpperLetter(c);
        const char32_t lower = toLower(c);
        entry.lower = lower;
        if (const LetterFacts* facts = factsOfLetter(lower)) {
          static_cast<LetterFacts&>(entry) = *facts;
        }
      } else {
        entry.kind = isWordEdgeMark(c) ? Kind::EdgeMark : Kind::Symbol;
        entry.opensWord = c == 0xA1 || c == 0xBF;
      }
    }
  }

  // The languages the word is a common word of, as read in this page
  LanguageSet commonWordLanguages(const unsigned char* word, std::size_t size) const {
    if (size > kLongestCommonWord) return 0;
    std::string lowered;
    for (std::size_t k = 0; k < size; ++k) {
      if (word[k] < 0x80) {
        lowered += static_cast<char>(word[k] | 0x20);
      } else if (high[word[k] - 0x80].kind == Kind::Letter) {
        appendUtf8(high[word[k] - 0x80].lower, lowered);
      } else {
        return 0;
      }
    }
    return lowered.size() > kLongestCommonWord ? 0 : pellumar::commonWordLanguages(lowered);
  }

  // How well the text reads in this page. The languages' points, common
  // words counted along, are summed as likelihoods (a point more is e times
  // as likely): the likeliest language decides, and where it reads alike in
  // two pages, the languages after it do ("caribeño" is no Czech in either
  // page, but Spanish in one).
  double score(const std::vector<std::int64_t>& commonWords) const {
    std::array<std::int64_t, kLanguageCount> points{};
    for (std::size_t l = 0; l < kLanguageCount; ++l) {
      points[l] = fit[l] + kCommonWord * commonWords[l];
    }
    const std::int64_t most = *std::max_element(points.begin(), points.end());
    double likelihood = 0;
    for (const std::int64_t p : points) likelihood += std::exp(static_cast<double>(p - most));
    return static_cast<double>(most - penalty) + std::log(likelihood);
  }
};

CodePageGuesser::CodePageGuesser(CodePageCandidates candidates) : commonWords_(kLanguageCount) {
  candidates_.reserve(candidates.size());
  for (auto& page : candidates) candidates_.emplace_back(std::move(page));
}

CodePageGuesser::~CodePageGuesser() = default;

void CodePageGuesser::feed(std::string_view bytes) {
  if (candidates_.size() < 2) return;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size && !hasEnough()) {
    while (i < size && !isWordByte(data[i])) ++i;
    if (i == size) break;
    std::size_t end = i;
    bool high = false;
    for (; end < size && isWordByte(data[end]); ++end) high |= data[end] >= 0x80;
    if (high) {
      scoreWord(data + i, end - i);
      ++words_;
    } else {
      countCommonWord(data + i, end - i, i > 0 ? data[i - 1] : ' ');
    }
    i = end;
  }
}

void CodePageGuesser::countCommonWord(const unsigned char* word, std::size_t size,
                                      unsigned char before) {
  // Tags, codes and placeholders are no words: <i>, </b>, {y:i}, %s
  if (size > kLongestCommonWord || before == '<' || before == '/' || before == '{' ||
      before == ':' || before == '%') {
    return;
  }
  char lower[kLongestCommonWord];
  for (std::size_t k = 0; k < size; ++k) lower[k] = static_cast<char>(word[k] | 0x20);
  const LanguageSet languages = commonWordLanguages(std::string_view(lower, size));
  for (std::size_t l = 0; l < kLanguageCount; ++l) {
    if (languages >> l & 1) ++commonWords_[l];
  }
}

void CodePageGuesser::scoreWord(const unsigned char* word, std::size_t size) {
  for (Candidate& candidate : candidates_) {
    // A no-break space parts words as a space does: "«\u00A0oui\u00A0»".
    std::size_t start = 0;
    for (std::size_t k = 0; k <= size; ++k) {
      if (k < size &&
          (word[k] < 0x80 || candidate.high[word[k] - 0x80].kind != Candidate::Kind::Space)) {
        continue;
      }
      if (k > start) scorePart(candidate, word + start, k - start);
      start = k + 1;
    }
  }
}

void CodePageGuesser::scorePart(Candidate& candidate, const unsigned char* word, std::size_t size) {
  auto isVowel = [&](std::size_t k) {
    const unsigned char b = word[k];
    return b < 0x80 ? isAsciiVowel(b) : candidate.high[b - 0x80].vowel;
  };
  auto isEOrI = [&](std::size_t k) {
    const unsigned char b = word[k];
    return b < 0x80 ? (b | 0x20) == 'e' || (b | 0x20) == 'i' : candidate.high[b - 0x80].eOrI;
  };
  enum { None, Small, Capital } previous = None;
  bool seenLetter = false;
  bool smallLater = false, capitalLater = false;  // after the first letter
  for (std::size_t k = 0; k < size; ++k) {
    const unsigned char b = word[k];
    if (b < 0x80) {
      previous = b >= 'a' ? Small : Capital;
      if (seenLetter) (previous == Small ? smallLater : capitalLater) = true;
      seenLetter = true;
      continue;
    }
    const Candidate::Byte& entry = candidate.high[b - 0x80];
    switch (entry.kind) {
      case Candidate::Kind::NotText:
        ++candidate.notText;
        previous = None;
        break;
      case Candidate::Kind::Space:
        previous = None;
        break;
      case Candidate::Kind::EdgeMark:
      case Candidate::Kind::Symbol: {
        const bool atEdge = k == 0 || k + 1 == size;
        if (!(atEdge && entry.kind == Candidate::Kind::EdgeMark)) {
          candidate.penalty += kSymbolInWord;
        } else if (size > 1 && !(k == 0 && entry.opensWord)) {
          candidate.penalty += kMarkAtWordEdge;
        }
        previous = None;
        break;
      }
      case Candidate::Kind::Letter: {
        if (entry.upper && previous == Capital) candidate.penalty += kCapitalAfterCapital;
        if (entry.upper && previous == Small) candidate.penalty += kCapitalAfterSmall;
        const auto& weights = size == 1 ? entry.alone : entry.weight;
        const auto broken = static_cast<std::uint8_t>(
            (k == 0 && size > 1 ? LetterFacts::NotFirst : 0) |
            (k > 0 && isVowel(k - 1) ? LetterFacts::NotAfterVowel : 0) |
            (k + 1 < size && isVowel(k + 1) ? LetterFacts::NotBeforeVowel : 0) |
            (k + 1 < size ? LetterFacts::LastOnly : LetterFacts::NotLast) |
            (k > 0 && !isVowel(k - 1) ? LetterFacts::NotAfterConsonant : 0) |
            (k + 1 < size && isEOrI(k + 1) ? LetterFacts::NotBeforeEOrI : 0));
        for (std::size_t l = 0; l < kLanguageCount; ++l) {
          const bool fits = weights[l] > 0 && (entry.rules[l] & broken) == 0;
          candidate.fit[l] += fits ? weights[l] : -kStrayLetter;
        }
        if (!entry.vowel && k > 0 && k + 1 < size && !isVowel(k - 1) && !isVowel(k + 1)) {
          candidate.penalty += kConsonantCluster;
        }
        previous = entry.upper ? Capital : Small;
        if (seenLetter) (previous == Small ? smallLater : capitalLater) = true;
        seenLetter = true;
        break;
      }
    }
  }
  if (smallLater && capitalLater) candidate.penalty += kMixedCase;
  // Parts in ASCII alone ("s" of "%s\u00A0:") read alike in every page.
  const bool high = std::any_of(word, word + size, [](unsigned char b) { return b >= 0x80; });
  if (const LanguageSet languages = high ? candidate.commonWordLanguages(word, size) : 0) {
    for (std::size_t l = 0; l < kLanguageCount; ++l) {
      if (languages >> l & 1) candidate.fit[l] += kCommonWordRead;
    }
  }
  if (size > 2 && word[0] >= 0x80 && word[size - 1] >= 0x80) {
    const Candidate::Byte& first = candidate.high[word[0] - 0x80];
    const Candidate::Byte& last = candidate.high[word[size - 1] - 0x80];
    if (first.kind == Candidate::Kind::Letter && last.kind == Candidate::Kind::Letter &&
        first.upper && !last.upper && first.lower == last.lower) {
      candidate.penalty += kLetterAsQuotes;
    }
  }
}

bool CodePageGuesser::hasEnough() const { return words_ >= kEnoughWords; }

std::shared_ptr<const CodePage> CodePageGuesser::best() const {
  if (candidates_.empty()) return CodePage::defaultPage();
  const Candidate* best = &candidates_.front();
  double bestScore = best->score(commonWords_);
  for (const Candidate& candidate : candidates_) {
    const double score = candidate.score(commonWords_);
    // Bytes that are no text in a page rule it out before anything else.
    if (candidate.notText < best->notText ||
        (candidate.notText == best->notText && score > bestScore)) {
      best = &candidate;
      bestScore = score;
    }
  }
  return best->page;
}

}  // namespace pellumar
