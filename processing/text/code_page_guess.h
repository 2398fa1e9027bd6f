#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "processing/text/code_page.h"

namespace pellumar {

/// Weighs how well text reads in each candidate page, one piece at a time.
///
/// Common words in ASCII tell which language the text is in. In each
/// candidate, a word holding bytes from 0x80 up earns points for letters that
/// belong together in one language, more when it reads as a common word, and
/// loses them for C1 controls and undefined bytes (never text), for symbols
/// inside a word and for capitals after small letters. The page the text
/// reads best in as its likeliest language wins.
class CodePageGuesser {
 public:
  explicit CodePageGuesser(CodePageCandidates candidates);
  ~CodePageGuesser();
  CodePageGuesser(const CodePageGuesser&) = delete;
  CodePageGuesser& operator=(const CodePageGuesser&) = delete;

  /// Looks at the next piece of the file; a word cut at a piece's end
  /// counts as two.
  void feed(std::string_view bytes);

  /// True once enough has been seen that more would not change the answer
  /// in practice.
  bool hasEnough() const;

  /// The candidate the text reads best in; the earlier on a tie; without
  /// candidates, windows-1250.
  std::shared_ptr<const CodePage> best() const;

 private:
  struct Candidate;
  void scoreWord(const unsigned char* word, std::size_t size);
  static void scorePart(Candidate& candidate, const unsigned char* word, std::size_t size);
  void countCommonWord(const unsigned char* word, std::size_t size, unsigned char before);

  std::vector<Candidate> candidates_;
  std::vector<std::int64_t> commonWords_;  // by language: its common words seen
  std::size_t words_ = 0;
};

}  // namespace pellumar
