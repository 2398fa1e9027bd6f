#include "processing/single_pass.h"

#include <sys/stat.h>

#include "processing/pass_table.h"

namespace pellumar {

namespace {

// The staged run writes every pass's lines and reads them back; the single
// pass hands them on as they are. Reading back gives the same text unless it
// holds a line break or a character the encoding does not carry unchanged.
bool readsBackUnchanged(std::string_view text, const TextEncoding& encoding) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  switch (encoding.form) {
    case TextEncoding::Form::Utf8:
      return true;
    case TextEncoding::Form::Utf16Le:
    case TextEncoding::Form::Utf16Be:
      // Lone surrogates side by side would pair up.
      return isValidUtf8(text);
    case TextEncoding::Form::Utf32Le:
    case TextEncoding::Form::Utf32Be:
      // Every character, a lone surrogate too, is one unit of its own.
      return isValidUtf8(text);
    case TextEncoding::Form::Legacy: {
      std::string bytes, back;
      // A character the page cannot hold fails both runs alike (see
      // CodePageCheck); only a character that comes back changed differs.
      if (encoding.codePage->encode(text, bytes)) return true;
      encoding.codePage->decode(bytes, back);
      return back == text;
    }
  }
  return false;
}

// A pass writes only characters of the chosen file and of its table's to-texts.
bool passesWriteOnlyWhatReadsBack(RunContext& run) {
  const TextEncoding& encoding = run.encoding;
  if (encoding.form == TextEncoding::Form::Legacy) {
    std::string decoded;
    for (int b = 0; b < 256; ++b) {
      // CR and LF end lines; they never stand inside one.
      if (b == '\r' || b == '\n') continue;
      decoded.clear();
      encoding.codePage->decode(std::string(1, static_cast<char>(b)), decoded);
      if (!readsBackUnchanged(decoded, encoding)) return false;
    }
  }
  for (const Pass& pass : passTable()) {
    if (!pass.writes || !run.window.isTicked(pass.option)) continue;
    for (const TextPair& entry : run.settings.*pass.writes) {
      if (!readsBackUnchanged(entry.to, encoding)) return false;
    }
  }
  return true;
}

}  // namespace

bool singlePassMatchesStaged(RunContext& run) {
  const auto form = run.encoding.form;
  const bool utf16 = form == TextEncoding::Form::Utf16Le || form == TextEncoding::Form::Utf16Be;
  const bool utf32 = form == TextEncoding::Form::Utf32Le || form == TextEncoding::Form::Utf32Be;
  if (utf16 || utf32) {
    struct stat info {};
    if (::stat(run.paths.inputPath.c_str(), &info) != 0 || info.st_size % (utf32 ? 4 : 2) != 0) {
      return false;
    }
  }
  return passesWriteOnlyWhatReadsBack(run);
}

}  // namespace pellumar
