#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "processing/files/run_failure.h"
#include "processing/text/code_page.h"
#include "processing/text/code_page_guess.h"

namespace pellumar {

/// How a file's bytes become characters, and back.
struct TextEncoding {
  enum class Form { Utf8, Utf16Le, Utf16Be, Utf32Le, Utf32Be, Legacy };

  Form form = Form::Utf8;
  bool bom = false;                          ///< written back at the start of the output
  std::shared_ptr<const CodePage> codePage;  ///< set for Form::Legacy
  /// UTF-8 judged by the file's first piece only: the line reader checks the
  /// rest as it reads it and throws NotUtf8 where it is not.
  bool checkWhileReading = false;
  /// For writing: the text was read in another encoding. A character that
  /// stands for a byte the input's page leaves undefined, or a lone
  /// surrogate, then has no place in this one.
  bool convertsText = false;

  static TextEncoding utf8() { return {}; }
  static TextEncoding legacy(std::shared_ptr<const CodePage> page) {
    return {Form::Legacy, false, std::move(page)};
  }
  /// The name iconv gives the encoding: "UTF-8", "UTF-16LE", "windows-1250", ...
  std::string name() const;
  /// The name, with " with BOM" after a UTF-8 that has one.
  std::string nameWithBom() const;
  /// True when both turn the same characters into the same bytes; the
  /// byte-order mark aside.
  bool sameCharactersAs(const TextEncoding& other) const;
};

/// The first character of `utf8` that `encoding` cannot hold, if any.
/// `scratch` takes the bytes of a legacy page on the way.
std::optional<char32_t> firstUnholdable(std::string_view utf8, const TextEncoding& encoding,
                                        std::string& scratch);

/// "Cannot write "<file>": line <line> holds the character "<c>" (U+XXXX),
/// which <the code page NAME, or UTF-8 ...> cannot hold."
std::string cannotHoldMessage(const std::string& file, std::size_t line, char32_t character,
                              const TextEncoding& encoding);

/// Decides a file's encoding: a UTF-32 or UTF-16 byte-order mark gives that
/// form in that byte order (FF FE 00 00 is UTF-32LE, not UTF-16LE); valid
/// UTF-8 (with or without its mark) gives UTF-8; anything else is read in the
/// candidate page it reads best in, looking at no more of the file than that
/// choice needs. Throws RunFailure when the file cannot be read.
///
/// Given `contents`, a file small enough to be read in one piece leaves its
/// bytes there, so that the run need not read it again.
///
/// With `refuseBinary`, a file without a UTF-16 or UTF-32 byte-order mark
/// that holds a NUL byte among its first 8,000 throws NotText.
TextEncoding detectFileEncoding(const std::string& path, const CodePageCandidates& legacy,
                                std::optional<std::string>* contents = nullptr,
                                bool refuseBinary = false);
TextEncoding detectFileEncoding(const std::string& path, std::shared_ptr<const CodePage> legacy);

/// As detectFileEncoding, but a file whose first piece is UTF-8 is taken for
/// UTF-8 at once, with checkWhileReading set, so that a run that reads the
/// whole file anyway reads it once.
TextEncoding detectEncodingFromStart(const std::string& path, const CodePageCandidates& legacy,
                                     std::optional<std::string>* contents = nullptr,
                                     bool refuseBinary = false);

/// A file that is no text at all: a picture track beside its .idx, say.
class NotText : public RunFailure {
 public:
  using RunFailure::RunFailure;
};

/// What the line reader throws when a file taken for UTF-8 from its start
/// turns out not to be: the run starts again with the whole file judged.
class NotUtf8 : public std::exception {
 public:
  const char* what() const noexcept override { return "not UTF-8 after all"; }
};

}  // namespace pellumar
