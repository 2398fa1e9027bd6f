#include "settings/settings_loader.h"

#include <optional>
#include <string_view>
#include <utility>

#include "processing/files/file_io.h"
#include "processing/files/run_failure.h"
#include "processing/text/code_page.h"
#include "processing/text/code_page_setting.h"
#include "processing/text/line_reader.h"
#include "processing/text/text_encoding.h"

namespace pellumar {

namespace {

constexpr std::string_view kLocalCharHeader = "[LOCAL_CHAR]";
constexpr std::string_view kReplacementHeader = "[RSTRINGS]";
constexpr std::string_view kSuffixKey = "NAMESUFIXADD";
constexpr std::string_view kCodePageKey = "CODEPAGE";
constexpr std::string_view kOutputCodePageKey = "OUTPUTCODEPAGE";

// Maps a to z only: the file's keys and headers are ASCII, and other letters
// must not start matching them (a dotless i or a long s would under Unicode
// case mapping), whatever the locale.
std::string upperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Applies the line rules one line at a time.
class SettingsParser {
 public:
  /// False when the line overflows a table; error() then says which.
  bool take(const std::string& line) {
    if (line.empty() || line.starts_with(';') || line.starts_with("[EOF]")) return true;
    const std::string head = upperAscii(std::string_view(line).substr(0, kLocalCharHeader.size()));
    if (head.starts_with(kLocalCharHeader)) {
      section_ = Section::LocalChars;
      return true;
    }
    if (head.starts_with(kReplacementHeader)) {
      section_ = Section::Replacements;
      return true;
    }
    if (line.starts_with('[')) section_ = Section::None;
    return takeEntry(line);
  }

  Settings& settings() { return settings_; }
  /// The value of the last CODEPAGE entry; empty for the default page.
  const std::string& codePageName() const { return codePageName_; }
  /// The value of the last OUTPUTCODEPAGE entry, if any.
  const std::optional<std::string>& outputCodePage() const { return outputCodePage_; }
  const std::string& error() const { return error_; }

 private:
  enum class Section { None, LocalChars, Replacements };
  enum class KeyRole { None, Suffix, CodePage, OutputCodePage };

  bool takeEntry(const std::string& line) {
    const std::size_t equals = line.find('=');
    // A line without "=" or starting with one keeps the key of an earlier
    // line, even one from another section.
    if (equals != std::string::npos && equals >= 1) setKey(line.substr(0, equals));
    std::string value = equals == std::string::npos ? line : line.substr(equals + 1);

    if (keyRole_ == KeyRole::Suffix) settings_.nameSuffix = value;
    if (keyRole_ == KeyRole::CodePage) codePageName_ = value;
    if (keyRole_ == KeyRole::OutputCodePage) outputCodePage_ = value;

    if (section_ == Section::LocalChars) {
      if (settings_.localChars.size() == Settings::kMaxLocalChars) {
        error_ = "No more than 60 subtitutions allowed.";
        return false;
      }
      settings_.localChars.push_back({key_, std::move(value)});
    } else if (section_ == Section::Replacements) {
      if (settings_.replacements.size() == Settings::kMaxReplacements) {
        error_ = "No more than 100 word subtitutions allowed.";
        return false;
      }
      settings_.replacements.push_back({key_, std::move(value)});
    }
    return true;
  }

  // The role is worked out once per key, not once per line: a long key
  // followed by many lines without "=" must stay linear.
  void setKey(std::string key) {
    key_ = std::move(key);
    const std::string upper = upperAscii(key_);
    keyRole_ = upper == kSuffixKey           ? KeyRole::Suffix
               : upper == kCodePageKey       ? KeyRole::CodePage
               : upper == kOutputCodePageKey ? KeyRole::OutputCodePage
                                             : KeyRole::None;
  }

  Settings settings_;
  std::string codePageName_;
  std::optional<std::string> outputCodePage_;
  std::string error_;
  Section section_ = Section::None;
  std::string key_;
  KeyRole keyRole_ = KeyRole::None;
};

// One pass over the file, which is read once whatever its size.
SettingsParser parseFile(const std::string& name, const TextEncoding& encoding) {
  SettingsParser parser;
  LineReader reader(name, encoding);
  std::string line;
  while (reader.next(line)) {
    if (!parser.take(line)) break;
  }
  return parser;
}

SettingsLoad failure(std::string message) { return {std::nullopt, std::move(message)}; }

}  // namespace

SettingsLoad loadSettings(const std::string& name) {
  if (!fileExists(name)) return failure(name + " not found.");
  try {
    const TextEncoding encoding = detectFileEncoding(name, defaultCodePageCandidates());
    SettingsParser parsed = parseFile(name, encoding);
    if (!parsed.error().empty()) return failure(parsed.error());

    // The page can only be checked once the whole file is read, as a later
    // CODEPAGE line replaces an earlier one.
    CodePageCandidates pages = defaultCodePageCandidates();
    if (!parsed.codePageName().empty()) {
      CodePageSetting named = parseCodePageSetting(parsed.codePageName());
      if (!named.error.empty()) return failure(named.error + " in " + name + ".");
      pages = std::move(named.candidates);
    }
    // A legacy settings file is written in a page it names, so its non-ASCII
    // texts may have been decoded wrongly the first time: it is read again in
    // the page named, or in the one of the candidates it reads best in.
    if (encoding.form == TextEncoding::Form::Legacy) {
      const TextEncoding again = detectFileEncoding(name, pages);
      if (again.codePage->name() != encoding.codePage->name()) {
        parsed = parseFile(name, again);
        if (!parsed.error().empty()) return failure(parsed.error());
      }
    }

    Settings settings = std::move(parsed.settings());
    settings.setLegacyPages(pages);
    if (parsed.outputCodePage()) {
      const OutputCodePageSetting output = parseOutputCodePage(*parsed.outputCodePage());
      if (!output.known) {
        return failure("Unknown output code page \"" + *parsed.outputCodePage() + "\" in " + name +
                       ".");
      }
      settings.outputEncoding = output.encoding;
    }
    if (settings.nameSuffix.empty()) settings.nameSuffix = Settings::kDefaultSuffix;
    return {std::move(settings), {}};
  } catch (const RunFailure& readFailure) {
    return failure(readFailure.what());
  }
}

}  // namespace pellumar
