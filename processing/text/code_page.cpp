#include "processing/text/code_page.h"

#include <iconv.h>

#include <cerrno>

#include "processing/text/byte_block.h"

namespace pellumar {

namespace {

// The characters one byte stands for in the page, or nothing when the page
// leaves the byte undefined. `incomplete` is set when the byte only starts a
// character, as in a page of several bytes a character.
std::u32string decodeByte(iconv_t cd, unsigned char byte, bool& incomplete) {
  char in[1] = {static_cast<char>(byte)};
  char32_t out[4];
  char* inPtr = in;
  std::size_t inLeft = 1;
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof(out);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0) {
    incomplete = incomplete || errno == EINVAL;
    return {};
  }
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  return std::u32string(out, (sizeof(out) - outLeft) / sizeof(char32_t));
}

}  // namespace

std::shared_ptr<const CodePage> CodePage::open(const std::string& name) {
  iconv_t cd = iconv_open("UTF-32LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  std::shared_ptr<CodePage> page(new CodePage(name));
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    std::u32string chars = decodeByte(cd, byte, page->multiByte_);
    if (chars.empty()) chars.push_back(kEscapedByteBase + byte);
    for (char32_t cp : chars) appendUtf8(cp, page->toUtf8_[byte]);
    if (chars.size() == 1) page->fromUnicode_.emplace(chars[0], byte);
    if (b < 0x80 && (chars.size() != 1 || chars[0] != static_cast<char32_t>(b))) {
      page->asciiCompatible_ = false;
    }
  }
  iconv_close(cd);
  return page;
}

std::shared_ptr<const CodePage> CodePage::defaultPage() {
  static const std::shared_ptr<const CodePage> page = open("windows-1250");
  return page;
}

void CodePage::decode(std::string_view bytes, std::string& utf8) const {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // Text is mostly ASCII: copy it a run at a time.
    const std::size_t run = asciiCompatible_ ? asciiRunEnd(bytes, pos) - pos : 0;
    utf8.append(bytes.data() + pos, run);
    pos += run;
    if (pos < bytes.size()) utf8 += toUtf8_[static_cast<unsigned char>(bytes[pos++])];
  }
}

std::optional<char32_t> CodePage::encode(std::string_view utf8, std::string& bytes,
                                         bool keepUndefinedBytes) const {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t run = asciiCompatible_ ? asciiRunEnd(utf8, pos) - pos : 0;
    if (run > 0) {
      bytes.append(utf8.data() + pos, run);
      pos += run;
      continue;
    }
    const char32_t cp = nextCodePoint(utf8, pos);
    auto found = fromUnicode_.find(cp);
    if (found != fromUnicode_.end()) {
      bytes.push_back(static_cast<char>(found->second));
    } else if (keepUndefinedBytes && cp >= kEscapedByteBase && cp < kEscapedByteBase + 256) {
      bytes.push_back(static_cast<char>(cp - kEscapedByteBase));
    } else {
      return cp;
    }
  }
  return std::nullopt;
}

}  // namespace pellumar
