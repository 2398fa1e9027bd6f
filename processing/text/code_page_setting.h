#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "processing/text/code_page.h"
#include "processing/text/text_encoding.h"

namespace pellumar {

/// The pages tried when the settings name none: windows-1250 and ISO-8859-2.
const CodePageCandidates& defaultCodePageCandidates();

/// A CODEPAGE value read: "auto", "auto:PAGE,PAGE,..." or "PAGE".
struct CodePageSetting {
  CodePageCandidates candidates;  ///< empty when `error` is set
  std::string error;              ///< e.g. "Unknown code page \"X\""
};

/// Reads a CODEPAGE value. Names are matched as iconv matches them; the
/// pages carry their canonical names (cp1250 becomes windows-1250).
CodePageSetting parseCodePageSetting(std::string_view written);

/// An OUTPUTCODEPAGE value read.
struct OutputCodePageSetting {
  bool known = false;  ///< false for anything but the values below
  /// Empty for "same": each output in its input's own encoding, BOM and page.
  std::optional<TextEncoding> encoding;
};

/// Reads an OUTPUTCODEPAGE value: "same", "UTF-8" (without BOM), "UTF-8-BOM",
/// "UTF-16" (little-endian, with BOM), in any case, or a single-byte page
/// as CODEPAGE names one. "auto" forms and pages of several bytes a
/// character are not known.
OutputCodePageSetting parseOutputCodePage(std::string_view written);

/// The name iconv gives a page in its own listings for the common spellings
/// of Windows, ISO 8859, KOI8 and DOS pages ("cp1250", "WINDOWS-1250" and
/// "windows1250" all give "windows-1250"; "iso8859-2" and "latin2" give
/// "ISO-8859-2"); any other name as it stands.
std::string canonicalCodePageName(std::string_view name);

}  // namespace pellumar
