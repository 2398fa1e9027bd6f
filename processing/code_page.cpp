#include "processing/code_page.h"

#include <iconv.h>

#include <mutex>

#include "processing/settings.h"

namespace pellumar {

void appendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t nextCodePoint(std::string_view utf8, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || pos + length > utf8.size()) {
    ++pos;
    return 0xFFFD;
  }
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  pos += length;
  return cp;
}

namespace {

// The characters one byte stands for in the page, or nothing when the page
// leaves the byte undefined.
std::u32string decodeByte(iconv_t cd, unsigned char byte) {
  char in[1] = {static_cast<char>(byte)};
  char32_t out[4];
  char* inPtr = in;
  std::size_t inLeft = 1;
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof(out);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0) {
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
    std::u32string chars = decodeByte(cd, byte);
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
  static std::once_flag once;
  static std::shared_ptr<const CodePage> page;
  std::call_once(once, [] { page = open(Settings::kDefaultCodePage); });
  return page;
}

void CodePage::decode(std::string_view bytes, std::string& utf8) const {
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && asciiCompatible_) {
      utf8.push_back(c);
    } else {
      utf8 += toUtf8_[byte];
    }
  }
}

std::optional<char32_t> CodePage::encode(std::string_view utf8, std::string& bytes) const {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80 && asciiCompatible_) {
      bytes.push_back(utf8[pos++]);
      continue;
    }
    const char32_t cp = nextCodePoint(utf8, pos);
    auto found = fromUnicode_.find(cp);
    if (found != fromUnicode_.end()) {
      bytes.push_back(static_cast<char>(found->second));
    } else if (cp >= kEscapedByteBase && cp < kEscapedByteBase + 256) {
      bytes.push_back(static_cast<char>(cp - kEscapedByteBase));
    } else {
      return cp;
    }
  }
  return std::nullopt;
}

}  // namespace pellumar
