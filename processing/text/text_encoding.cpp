#include "processing/text/text_encoding.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "processing/files/file_io.h"
#include "processing/files/run_failure.h"
#include "processing/text/utf8.h"

namespace pellumar {

std::string TextEncoding::name() const {
  switch (form) {
    case Form::Utf8:
      return "UTF-8";
    case Form::Utf16Le:
      return "UTF-16LE";
    case Form::Utf16Be:
      return "UTF-16BE";
    case Form::Utf32Le:
      return "UTF-32LE";
    case Form::Utf32Be:
      return "UTF-32BE";
    case Form::Legacy:
      return codePage ? codePage->name() : "legacy";
  }
  return "";
}

std::string TextEncoding::nameWithBom() const {
  return form == Form::Utf8 && bom ? name() + " with BOM" : name();
}

bool TextEncoding::sameCharactersAs(const TextEncoding& other) const {
  if (form != other.form) return false;
  return form != Form::Legacy ||
         (codePage && other.codePage && codePage->name() == other.codePage->name());
}

namespace {

// The first surrogate code point in UTF-8 text (ED A0 80 to ED BF BF), if any.
std::optional<char32_t> firstSurrogate(std::string_view utf8) {
  for (std::size_t pos = utf8.find('\xED'); pos != std::string_view::npos;
       pos = utf8.find('\xED', pos + 1)) {
    if (pos + 1 < utf8.size() && static_cast<unsigned char>(utf8[pos + 1]) >= 0xA0) {
      std::size_t at = pos;
      return nextCodePoint(utf8, at);
    }
  }
  return std::nullopt;
}

std::string codePointName(char32_t cp) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
  return hex;
}

}  // namespace

std::optional<char32_t> firstUnholdable(std::string_view utf8, const TextEncoding& encoding,
                                        std::string& scratch) {
  if (encoding.form == TextEncoding::Form::Legacy) {
    scratch.clear();
    return encoding.codePage->encode(utf8, scratch, !encoding.convertsText);
  }
  return encoding.convertsText ? firstSurrogate(utf8) : std::nullopt;
}

std::string cannotHoldMessage(const std::string& file, std::size_t line, char32_t character,
                              const TextEncoding& encoding) {
  std::string shown;
  // A lone surrogate cannot be shown; its number alone names it.
  if (character < 0xD800 || character > 0xDFFF) {
    shown = "\"";
    appendUtf8(character, shown);
    shown += "\" ";
  }
  const std::string where = encoding.form == TextEncoding::Form::Legacy
                                ? "the code page " + encoding.name()
                                : encoding.name();
  return "Cannot write \"" + file + "\": line " + std::to_string(line) + " holds the character " +
         shown + "(" + codePointName(character) + "), which " + where + " cannot hold.";
}

namespace {

// Legacy text looked at for the choice of page, at most.
constexpr std::size_t kGuessBytes = 1 << 20;

bool startsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// Needs the first four bytes when the file has them.
std::optional<TextEncoding> fromByteOrderMark(std::string_view head) {
  using namespace std::string_view_literals;
  if (startsWith(head, "\xFF\xFE\0\0"sv))
    return TextEncoding{TextEncoding::Form::Utf32Le, true, {}};
  if (startsWith(head, "\0\0\xFE\xFF"sv))
    return TextEncoding{TextEncoding::Form::Utf32Be, true, {}};
  if (startsWith(head, "\xFF\xFE")) return TextEncoding{TextEncoding::Form::Utf16Le, true, {}};
  if (startsWith(head, "\xFE\xFF")) return TextEncoding{TextEncoding::Form::Utf16Be, true, {}};
  return std::nullopt;
}

CodePageCandidates single(std::shared_ptr<const CodePage> page) {
  return {page ? std::move(page) : CodePage::defaultPage()};
}

// What git takes for a binary file: a NUL among the first 8,000 bytes. Text
// in UTF-16 or UTF-32 has NULs too, but only after a byte-order mark.
bool looksBinary(std::string_view firstPiece) {
  return firstPiece.substr(0, 8000).find('\0') != std::string_view::npos;
}

TextEncoding detect(const std::string& path, const CodePageCandidates& legacy, bool fromStart,
                    std::optional<std::string>* contents, bool refuseBinary) {
  FileReader file(path);
  if (contents) contents->reset();
  Utf8Validator validator;
  // Fed from the piece where the text stops being UTF-8 on, until the
  // choice is settled; made only then, since making one costs more than
  // reading a small file.
  std::optional<CodePageGuesser> guesser;
  std::size_t guessed = 0;
  bool utf8 = true;
  std::string head;
  bool first = true;
  for (;;) {
    const std::string_view piece = file.next();
    if (piece.empty()) break;
    if (first) {
      head = piece.substr(0, 4);
      first = false;
      // A first piece shorter than a whole one is the whole file.
      if (contents && piece.size() < FileReader::kChunkSize) contents->emplace(piece);
      if (fromByteOrderMark(head)) break;
      if (refuseBinary && looksBinary(piece)) throw NotText("Not a text subtitle file.");
    }
    if (utf8) {
      utf8 = validator.feed(reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
      // A first piece shorter than a whole one is the whole file, judged.
      if (utf8 && fromStart && piece.size() == FileReader::kChunkSize) {
        TextEncoding encoding{TextEncoding::Form::Utf8, startsWith(head, "\xEF\xBB\xBF"), {}};
        encoding.checkWhileReading = true;
        return encoding;
      }
    }
    if (!utf8) {
      if (legacy.size() < 2) break;
      if (!guesser) guesser.emplace(legacy);
      guesser->feed(piece);
      guessed += piece.size();
      if (guesser->hasEnough() || guessed >= kGuessBytes) break;
    }
  }
  if (auto marked = fromByteOrderMark(head)) return *marked;
  if (utf8 && validator.complete()) {
    return {TextEncoding::Form::Utf8, startsWith(head, "\xEF\xBB\xBF"), {}};
  }
  if (legacy.size() < 2)
    return TextEncoding::legacy(legacy.empty() ? CodePage::defaultPage() : legacy.front());
  if (!guesser) guesser.emplace(legacy);
  return TextEncoding::legacy(guesser->best());
}

}  // namespace

TextEncoding detectFileEncoding(const std::string& path, std::shared_ptr<const CodePage> legacy) {
  return detect(path, single(std::move(legacy)), false, nullptr, false);
}

TextEncoding detectFileEncoding(const std::string& path, const CodePageCandidates& legacy,
                                std::optional<std::string>* contents, bool refuseBinary) {
  return detect(path, legacy, false, contents, refuseBinary);
}

TextEncoding detectEncodingFromStart(const std::string& path, const CodePageCandidates& legacy,
                                     std::optional<std::string>* contents, bool refuseBinary) {
  return detect(path, legacy, true, contents, refuseBinary);
}

}  // namespace pellumar
