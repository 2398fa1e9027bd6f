#include "processing/text/guess_languages.h"

#include <algorithm>
#include <unordered_map>

#include "processing/text/utf8.h"

namespace pellumar {

namespace {

bool contains(const char* letters, char32_t c) {
  const std::string_view text(letters);
  for (std::size_t pos = 0; pos < text.size();) {
    if (nextCodePoint(text, pos) == c) return true;
  }
  return false;
}

std::int8_t weightIn(const Language& language, char32_t lower) {
  if (contains(language.often, lower)) return 3;
  if (contains(language.sometimes, lower)) return 2;
  if (contains(language.seldom, lower)) return 1;
  return 0;
}

constexpr const char* kVowels = "áàâäãåæéèêëěíìîïóòôöõőøúùûüůűýÿąęœăаеёиоуыэюяіїєў";

LetterFacts factsOf(char32_t lower) {
  LetterFacts facts;
  facts.vowel = contains(kVowels, lower);
  facts.eOrI = contains("éèêëěíìîï", lower);
  for (std::size_t l = 0; l < kLanguageCount; ++l) {
    const Language& language = kLanguages[l];
    facts.weight[l] = weightIn(language, lower);
    facts.alone[l] = contains(language.alone, lower) ? facts.weight[l] : 0;
    facts.rules[l] = static_cast<std::uint8_t>(
        (contains(language.notFirst, lower) ? LetterFacts::NotFirst : 0) |
        (contains(language.notAfterVowel, lower) ? LetterFacts::NotAfterVowel : 0) |
        (contains(language.notBeforeVowel, lower) ? LetterFacts::NotBeforeVowel : 0) |
        (contains(language.lastOnly, lower) ? LetterFacts::LastOnly : 0) |
        (contains(language.notAfterConsonant, lower) ? LetterFacts::NotAfterConsonant : 0) |
        (contains(language.notLast, lower) ? LetterFacts::NotLast : 0) |
        (contains(language.notBeforeEOrI, lower) ? LetterFacts::NotBeforeEOrI : 0));
  }
  return facts;
}

// The facts of every letter a language or the vowels name, worked out once
// rather than for each page of each file.
const std::unordered_map<char32_t, LetterFacts>& allLetterFacts() {
  static const auto table = [] {
    std::unordered_map<char32_t, LetterFacts> letters;
    const auto add = [&](std::string_view text) {
      for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = nextCodePoint(text, pos);
        if (c >= 0x80 && !letters.contains(c)) letters.emplace(c, factsOf(c));
      }
    };
    add(kVowels);
    for (const Language& language : kLanguages) {
      for (const char* listed : {language.often, language.sometimes, language.seldom}) add(listed);
    }
    return letters;
  }();
  return table;
}

// Every language's common words, with the languages each belongs to.
const std::unordered_map<std::string_view, LanguageSet>& commonWords() {
  static const auto table = [] {
    std::unordered_map<std::string_view, LanguageSet> words;
    for (std::size_t l = 0; l < kLanguageCount; ++l) {
      std::string_view list(kLanguages[l].words);
      while (!list.empty()) {
        const std::size_t space = std::min(list.find(' '), list.size());
        words[list.substr(0, space)] |= LanguageSet{1} << l;
        list.remove_prefix(std::min(space + 1, list.size()));
      }
    }
    return words;
  }();
  return table;
}

}  // namespace

const LetterFacts* factsOfLetter(char32_t lower) {
  const auto& letters = allLetterFacts();
  const auto found = letters.find(lower);
  return found == letters.end() ? nullptr : &found->second;
}

LanguageSet commonWordLanguages(std::string_view lowered) {
  const auto& words = commonWords();
  const auto found = words.find(lowered);
  return found == words.end() ? 0 : found->second;
}

}  // namespace pellumar
