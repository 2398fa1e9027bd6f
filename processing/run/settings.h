#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "processing/passes/text_pair.h"
#include "processing/text/code_page.h"
#include "processing/text/code_page_setting.h"
#include "processing/text/text_encoding.h"

namespace pellumar {

/// What a run needs from the settings file. Texts are UTF-8.
struct Settings {
  static constexpr std::size_t kMaxLocalChars = 60;
  static constexpr std::size_t kMaxReplacements = 100;
  static constexpr const char* kDefaultSuffix = "_PL";

  std::vector<TextPair> localChars{};    ///< single characters to substitute, in file order
  std::vector<TextPair> replacements{};  ///< strings to replace, in file order
  std::string nameSuffix = kDefaultSuffix;
  /// Code page of files that are neither UTF-8 nor UTF-16/32, when the
  /// settings name one page; null means it is chosen per file.
  std::shared_ptr<const CodePage> legacyCodePage{};
  /// The pages chosen among per file, preferred first, when no page is
  /// named; empty means windows-1250 and ISO-8859-2.
  CodePageCandidates codePageCandidates{};
  /// The encoding outputs are written in; empty: each in its input's own
  /// encoding, byte-order mark and page.
  std::optional<TextEncoding> outputEncoding{};

  /// The pages a legacy file may be in: the one named, or the candidates.
  CodePageCandidates legacyPages() const {
    if (legacyCodePage) return {legacyCodePage};
    return codePageCandidates.empty() ? defaultCodePageCandidates() : codePageCandidates;
  }
  /// Takes a page or candidates as parsed from a CODEPAGE value.
  void setLegacyPages(const CodePageCandidates& pages) {
    legacyCodePage = pages.size() == 1 ? pages.front() : nullptr;
    codePageCandidates = pages.size() == 1 ? CodePageCandidates{} : pages;
  }
};

}  // namespace pellumar
