// A whole run on any file, with options, settings and leftovers picked by the
// first bytes: it never crashes, never changes the chosen file, leaves no
// staging file, always answers, and both ways of running end the same.

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "processing/text/code_page.h"
#include "processing/file_ops.h"
#include "processing/run/processing_run.h"
#include "tests/support/fake_window_system.h"

namespace pellumar::fuzz::processing_run {

constexpr const char* kSuffixes[] = {"_PL", "-clean", ".bak", "_"};
constexpr const char* kPages[] = {"windows-1250", "ISO-8859-2", "KOI8-R", "CP852"};

std::shared_ptr<const CodePage> page(std::size_t i) {
  // Built once each: building a page asks iconv about every byte.
  static const std::vector<std::shared_ptr<const CodePage>> pages = [] {
    std::vector<std::shared_ptr<const CodePage>> opened;
    for (const char* name : kPages) opened.push_back(CodePage::open(name));
    return opened;
  }();
  return pages[i];
}

Settings settingsFrom(ByteReader& input, unsigned char choice) {
  Settings settings;
  settings.nameSuffix = kSuffixes[choice & 3];
  switch ((choice >> 2) & 3) {
    case 0:
      settings.localChars = {{"ą", "a"}, {"ę", "e"}, {"ł", "l"}, {"ó", "o"}, {"Ż", "Z"}};
      settings.replacements = {{"teh", "the"}, {"<i>", ""}, {"...", "…"}, {"  ", " "}};
      break;
    case 1:
      settings.localChars = {{"ó", "oo"}, {"x", "{"}, {"a", "ą"}, {"ż", "☃"}, {"7", " "}};
      settings.replacements = {{"☃", "z"}, {"--", "-->"}, {"1", ""}, {"", "x"}, {"?", " ?"}};
      break;
    case 2:
      settings.localChars = {{"ą", "a"}, {"ł", "l"}};
      settings.replacements = {{"...", "…"}, {"teh", "the"}};
      settings.legacyCodePage = page(1);
      break;
    default: {
      settings.localChars.resize(input.byte() % 6);
      for (TextPair& entry : settings.localChars) {
        entry.from = input.piece('\0', 4);
        entry.to = input.piece('\0', 6);
      }
      settings.replacements.resize(input.byte() % 8);
      for (TextPair& entry : settings.replacements) {
        entry.from = input.piece('\0', 6);
        entry.to = input.piece('\0', 6);
      }
      settings.legacyCodePage = page((choice >> 4) & 3);
      break;
    }
  }
  return settings;
}

constexpr const char* kEarlierOutput = "earlier output\r\n";

struct Result {
  RunOutcome outcome;
  std::vector<std::string> messages;
  std::optional<std::string> output, log;
  std::string files;
};

std::string listing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names) joined += name + "|";
  return joined;
}

Result runIn(const std::filesystem::path& folder, const std::string& name, std::string_view bytes,
             const Settings& settings, unsigned options, bool leftovers, RunMode mode) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string chosen = (folder / name).string();
  writeFile(chosen, bytes);
  const JobPaths paths = deriveJobPaths(chosen, settings.nameSuffix);
  const std::string planted = temporaryName(paths.stagingPath, 1);
  if (leftovers) {
    // What an earlier run that was killed may have left at the derived names.
    writeFile(paths.outputPath, kEarlierOutput);
    writeFile(planted, "earlier staging\r\n");
    writeFile(paths.logPath, "earlier log\r\n");
  }

  testing::FakeWindowSystem window;
  window.chosenFile = chosen;
  window.tick(options);
  ProcessingRun run(settings, window, mode);
  Result result;
  result.outcome = run.run();

  FUZZ_CHECK(readFileIfPresent(chosen) == std::string(bytes));
  FUZZ_CHECK(result.outcome != RunOutcome::NothingChosen);
  // A run that fails before its first staging file may leave the planted one.
  std::string left = listing(folder);
  const std::string plantedEntry = std::filesystem::path(planted).filename().string() + "|";
  if (const auto at = left.find(plantedEntry); at != std::string::npos) {
    FUZZ_CHECK(result.outcome == RunOutcome::Failed);
    left.erase(at, plantedEntry.size());
  }
  FUZZ_CHECK(left.find(".tmp|") == std::string::npos);
  FUZZ_CHECK(window.buttonEnabled);
  FUZZ_CHECK(!window.messages.empty());
  FUZZ_CHECK((window.messages.back().text == kDoneMessage) == (result.outcome == RunOutcome::Done));
  if (result.outcome == RunOutcome::Done) {
    FUZZ_CHECK(std::filesystem::exists(run.paths().outputPath));
  } else {
    // Every failure message ends with a full stop; a cut one does not.
    FUZZ_CHECK(window.messages.back().text.ends_with('.'));
  }

  // The two runs work in different folders, which messages may name.
  const std::string folderName = folder.string();
  for (const auto& message : window.messages) {
    std::string text = message.text;
    for (std::size_t at; (at = text.find(folderName)) != std::string::npos;) {
      text.replace(at, folderName.size(), "<folder>");
    }
    result.messages.push_back(text + (message.icon == MessageIcon::Information ? "|i|" : "|-|") +
                              message.title.value_or("(none)"));
  }
  result.output = readFileIfPresent(run.paths().outputPath);
  result.log = readFileIfPresent(run.paths().logPath);
  result.files = listing(folder);
  return result;
}

int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const unsigned char options = input.byte();
  const Settings settings = settingsFrom(input, input.byte());
  const std::string name = (options & 0x80) != 0 ? "notes" : "movie.srt";
  const bool leftovers = (options & 0x40) != 0;
  const std::string_view bytes = input.rest();

  const Result staged = runIn(scratchFolder() / "staged", name, bytes, settings, options & 0x3F,
                              leftovers, RunMode::Staged);
  const Result single = runIn(scratchFolder() / "single", name, bytes, settings, options & 0x3F,
                              leftovers, RunMode::SinglePass);
  FUZZ_CHECK(staged.outcome == single.outcome);
  const bool overlong =
      !staged.messages.empty() && staged.messages.back().rfind("Cannot buffer more than", 0) == 0;
  if (single.outcome == RunOutcome::Failed && !overlong) {
    // The staged run keeps the passes it finished; the single pass leaves the
    // output as it found it, unless it ran as the staged run (a to-text with
    // a line break).
    const std::optional<std::string> found =
        leftovers ? std::optional<std::string>(kEarlierOutput) : std::nullopt;
    FUZZ_CHECK(single.output == found || single.output == staged.output);
    FUZZ_CHECK(single.files.find("_22") == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(staged.messages == single.messages);
  FUZZ_CHECK(staged.output == single.output);
  FUZZ_CHECK(staged.log == single.log);
  FUZZ_CHECK(staged.files == single.files);
  return 0;
}

}  // namespace pellumar::fuzz::processing_run

PELLUMAR_FUZZ_TARGET(processing_run)
