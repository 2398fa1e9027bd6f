#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "processing/code_page.h"

namespace pellumar {

/// The pages a legacy file may be in, the preferred first. One page means
/// that page, without guessing.
using CodePageCandidates = std::vector<std::shared_ptr<const CodePage>>;

/// The pages tried when the settings name none: windows-1250 and ISO-8859-2.
const CodePageCandidates& defaultCodePageCandidates();

/// A CODEPAGE value read: "auto", "auto:PAGE,PAGE,..." or "PAGE".
struct CodePageSpec {
  CodePageCandidates candidates;  ///< empty when `error` is set
  std::string error;              ///< e.g. "Unknown code page \"X\""
};

/// Reads a CODEPAGE value. Names are matched as iconv matches them; the
/// pages carry their canonical names (cp1250 becomes windows-1250).
CodePageSpec parseCodePageSpec(std::string_view written);

/// The name iconv gives a page in its own listings for the common spellings
/// of Windows, ISO 8859, KOI8 and DOS pages ("cp1250", "WINDOWS-1250" and
/// "windows1250" all give "windows-1250"; "iso8859-2" and "latin2" give
/// "ISO-8859-2"); any other name as it stands.
std::string canonicalCodePageName(std::string_view name);

/// Weighs how well text reads in each candidate page, one piece at a time.
///
/// Only words holding bytes from 0x80 up are looked at. In each candidate,
/// such a word earns points for letters that belong together in one language
/// and loses them for C1 controls and undefined bytes (never text), for
/// symbols inside a word and for capitals after small letters.
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

  std::vector<Candidate> candidates_;
  std::size_t words_ = 0;
};

}  // namespace pellumar
