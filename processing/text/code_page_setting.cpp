#include "processing/text/code_page_setting.h"

#include <algorithm>
#include <string>

namespace pellumar {

namespace {

std::string upperAlnum(std::string_view name) {
  std::string key;
  for (char c : name) {
    if (c >= 'a' && c <= 'z') key.push_back(static_cast<char>(c - 'a' + 'A'));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) key.push_back(c);
  }
  return key;
}

bool allDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::shared_ptr<const CodePage> openCanonical(std::string_view name) {
  const std::string canonical = canonicalCodePageName(name);
  auto page = CodePage::open(canonical);
  return page ? page : CodePage::open(std::string(name));
}

}  // namespace

const CodePageCandidates& defaultCodePageCandidates() {
  static const CodePageCandidates pages{CodePage::defaultPage(), CodePage::open("ISO-8859-2")};
  return pages;
}

std::string canonicalCodePageName(std::string_view name) {
  const std::string key = upperAlnum(name);
  auto after = [&](std::string_view prefix) -> std::string_view {
    return key.starts_with(prefix) ? std::string_view(key).substr(prefix.size()) : "";
  };
  for (std::string_view prefix : {"WINDOWS", "MSCP", "CP", "WIN"}) {
    const std::string_view number = after(prefix);
    if (number.size() == 4 && number.starts_with("125") && number[3] <= '8') {
      return "windows-" + std::string(number);
    }
  }
  if (const std::string_view part = after("ISO8859"); allDigits(part) && part.size() <= 2) {
    return "ISO-8859-" + std::string(part);
  }
  for (std::string_view prefix : {"LATIN", "L"}) {
    const std::string_view number = after(prefix);
    if (!allDigits(number)) continue;
    static constexpr int kIsoPart[] = {0, 1, 2, 3, 4, 9, 10, 13, 14, 15, 16};
    const int n = std::stoi(std::string(number));
    if (n >= 1 && n <= 10) return "ISO-8859-" + std::to_string(kIsoPart[n]);
  }
  if (key == "KOI8R") return "KOI8-R";
  if (key == "KOI8U") return "KOI8-U";
  if (key == "KOI8RU") return "KOI8-RU";
  for (std::string_view prefix : {"CP", "IBM"}) {
    const std::string_view number = after(prefix);
    if (allDigits(number) && number.size() == 3) return "CP" + std::string(number);
  }
  return std::string(name);
}

CodePageSetting parseCodePageSetting(std::string_view written) {
  const std::string_view value = trimmed(written);
  const std::string head = upperAlnum(value.substr(0, 4));
  const bool isAuto = value.size() >= 4 && head == "AUTO" && (value.size() == 4 || value[4] == ':');
  CodePageSetting result;
  if (!isAuto) {
    auto page = openCanonical(value);
    if (!page) {
      result.error = "Unknown code page \"" + std::string(written) + "\"";
    } else {
      result.candidates.push_back(std::move(page));
    }
    return result;
  }
  if (value.size() == 4) {
    result.candidates = defaultCodePageCandidates();
    return result;
  }
  std::string_view list = value.substr(5);
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view item = trimmed(list.substr(0, comma));
    if (item.empty()) {
      result.candidates.clear();
      result.error = "Malformed code page list \"" + std::string(written) + "\"";
      return result;
    }
    auto page = openCanonical(item);
    if (!page) {
      result.candidates.clear();
      result.error = "Unknown code page \"" + std::string(item) + "\"";
      return result;
    }
    const bool repeated =
        std::any_of(result.candidates.begin(), result.candidates.end(),
                    [&](const auto& seen) { return seen->name() == page->name(); });
    if (!repeated) result.candidates.push_back(std::move(page));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return result;
}

OutputCodePageSetting parseOutputCodePage(std::string_view written) {
  const std::string value(trimmed(written));
  std::string upper = value;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  // An empty value, as an empty CODEPAGE, keeps the default.
  if (upper.empty() || upper == "SAME") return {true, std::nullopt};
  if (upper == "UTF-8") return {true, TextEncoding::utf8()};
  if (upper == "UTF-8-BOM") return {true, TextEncoding{TextEncoding::Form::Utf8, true, {}}};
  if (upper == "UTF-16") return {true, TextEncoding{TextEncoding::Form::Utf16Le, true, {}}};
  if (upper.starts_with("AUTO")) return {};
  auto page = openCanonical(value);
  if (!page || !page->singleByte()) return {};
  return {true, TextEncoding::legacy(std::move(page))};
}

}  // namespace pellumar
