#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "processing/code_page.h"
#include "processing/code_page_guess.h"

namespace pellumar {

/// How a file's bytes become characters, and back.
struct TextEncoding {
  enum class Form { Utf8, Utf16Le, Utf16Be, Utf32Le, Utf32Be, Legacy };

  Form form = Form::Utf8;
  bool bom = false;                          ///< written back at the start of the output
  std::shared_ptr<const CodePage> codePage;  ///< set for Form::Legacy

  static TextEncoding utf8() { return {}; }
  static TextEncoding legacy(std::shared_ptr<const CodePage> page) {
    return {Form::Legacy, false, std::move(page)};
  }
  /// The name iconv gives the encoding: "UTF-8", "UTF-16LE", "windows-1250", ...
  std::string name() const;
};

/// Decides a file's encoding: a UTF-32 or UTF-16 byte-order mark gives that
/// form in that byte order (FF FE 00 00 is UTF-32LE, not UTF-16LE); valid
/// UTF-8 (with or without its mark) gives UTF-8; anything else is read in the
/// candidate page it reads best in, looking at no more of the file than that
/// choice needs. Throws RunFailure when the file cannot be read.
TextEncoding detectFileEncoding(const std::string& path, const CodePageCandidates& legacy);
TextEncoding detectFileEncoding(const std::string& path, std::shared_ptr<const CodePage> legacy);

}  // namespace pellumar
