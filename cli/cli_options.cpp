#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <array>
#include <thread>

#include "processing/files/file_io.h"
#include "processing/text/code_page_setting.h"
#include "settings/settings_loader.h"
#include "settings/settings_location.h"

namespace pellumar::cli {

namespace {

constexpr const char* kHelpHint = "Run with --help for more information.";
constexpr const char* kAbout =
    "Cleans up subtitle files. Each FILE is read and a cleaned copy is written beside it\n"
    "under a derived name; FILE itself is never changed.\n";

// CLI11's usage line, its order and its "{false}" marks on negated flags read poorly;
// everything else of its help layout stays.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override {
    return std::string("Usage: ") + kProgramName + " [OPTION]... FILE...\n\n" + kAbout;
  }

  std::string make_option_name(const CLI::Option* option, bool positional) const override {
    std::string name = CLI::Formatter::make_option_name(option, positional);
    for (auto open = name.find('{'); open != std::string::npos; open = name.find('{', open)) {
      const auto close = name.find('}', open);
      if (close == std::string::npos) break;
      name.erase(open, close - open + 1);
    }
    return name;
  }
};

// A pass's option, and its negation for a pass that is on by default.
std::string flagNames(const Pass& pass) {
  std::string names = std::string("--") + pass.flag;
  if (pass.onByDefault) names += std::string(",!--no-") + pass.flag;
  return names;
}

// The places lexmend.ini is looked for and the one this run would read, so
// that a user can tell which settings are in force.
std::string settingsHelp() {
  const std::vector<std::string> places = settingsSearchOrder(currentExecutable());
  std::string text = "Settings come from the first of these that exists:\n  --settings FILE\n";
  for (const std::string& place : places) {
    text += "  " + (place == kSettingsFileName ? "./" + place : place) + "\n";
  }
  const std::string found = firstSettingsFile(places);
  if (fileExists(found)) {
    text += "Now read: " + (found == kSettingsFileName ? "./" + found : found) + "\n";
  } else {
    text += "Now read: none, there is no lexmend.ini in these places.\n";
  }
  return text;
}

std::string badUsage(const std::string& message) {
  return std::string(kProgramName) + ": " + message + "\n" + kHelpHint + "\n";
}

// An option with a value, named `valueName` in --help; given twice, the last
// one counts.
template <typename T>
CLI::Option* valueOption(CLI::App& app, const std::string& name, T& value, const std::string& help,
                         const std::string& valueName) {
  return app.add_option(name, value, help)
      ->type_name(valueName)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

}  // namespace

unsigned cpuCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : count;
}

CommandLine parseCommandLine(int argc, const char* const* argv, unsigned defaultJobs) {
  CliOptions options;
  // The description is part of the usage text, so that "Usage:" comes first.
  CLI::App app("", kProgramName);
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_version_flag("--version", std::string(kProgramName) + " " + PELLUMAR_VERSION,
                       "Print the version and exit");
  app.get_help_ptr()->description("Print this help and exit");

  std::array<bool, kPassCount> flagValues{};
  std::array<CLI::Option*, kPassCount> flagOptions{};
  for (const Pass& pass : passTable()) {
    const auto i = static_cast<std::size_t>(pass.id);
    flagValues[i] = pass.onByDefault;
    flagOptions[i] = app.add_flag(flagNames(pass), flagValues[i], pass.flagHelp);
  }
  bool all = false;
  app.add_flag("--all", all, "Turn on all six options above");

  std::string settingsFile;
  CLI::Option* settingsOption =
      valueOption(app, "--settings", settingsFile,
                  "Read settings from FILE instead of the first lexmend.ini found", "FILE");
  int jobs = static_cast<int>(defaultJobs);
  CLI::Option* jobsOption =
      valueOption(app, "-j,--jobs", jobs, "Process N files at once (default: number of CPUs)", "N");
  app.add_flag("-q,--quiet", options.quiet, "Print no progress lines");
  app.add_flag("-v,--verbose", options.verbose,
               "Say for each FILE on stderr which encoding it was read in");
  std::string codePage;
  CLI::Option* codePageOption =
      valueOption(app, "--codepage", codePage,
                  "Code page of FILEs that are neither UTF-8 nor UTF-16/32, instead of\n"
                  "the settings' CODEPAGE: auto (windows-1250 or ISO-8859-2, per FILE),\n"
                  "auto:PAGE,PAGE,... (one of these per FILE) or PAGE",
                  "PAGES");
  std::string outputCodePage;
  CLI::Option* outputCodePageOption =
      valueOption(app, "--output-codepage", outputCodePage,
                  "Write the cleaned copies in ENC instead of the settings'\n"
                  "OUTPUTCODEPAGE: same (each FILE's own encoding, the default),\n"
                  "UTF-8, UTF-8-BOM, UTF-16 or a single-byte PAGE",
                  "ENC");
  std::string suffix;
  CLI::Option* suffixOption =
      valueOption(app, "--suffix", suffix,
                  "Name the cleaned copies with SUFFIX before the extension instead of\n"
                  "the settings' NAMESUFIXADD (empty: _PL); .pl gives movie.pl.srt",
                  "SUFFIX");
  bool staged = false;
  app.add_flag("--staged", staged,
               "Let each pass read and rewrite the output file in turn, instead of\n"
               "running all passes in one read of FILE");
  app.add_flag("-r,--recursive", options.recursive,
               "Clean the subtitle files in each FILE that is a folder, and below it:\n"
               ".srt and .sub files, and .txt files that hold subtitles");
  bool diff = false;
  app.add_flag("--diff", diff,
               "Write nothing; print what would change in each FILE as a unified diff");
  std::string color = "auto";
  valueOption(app, "--color", color,
              "Colour the diff's removed and added lines: auto (when standard\n"
              "output is a terminal), always or never",
              "WHEN");
  app.add_option("FILE", options.files, "Subtitle files to clean up (and folders, with -r)")
      ->type_name("");
  app.footer(
      "The cleaned copy of FILE is named after FILE with the suffix (default _PL)\n"
      "before its extension: movie.srt gives movie_PL.srt.\n\n" +
      settingsHelp() +
      "\nExit status: 0 when every FILE was processed, 1 when some FILE could not be,\n"
      "2 for bad usage or unusable settings (then no FILE is processed).");

  CommandLine result;
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    result.out = app.help();
    return result;
  } catch (const CLI::CallForVersion& version) {
    result.out = std::string(version.what()) + "\n";
    return result;
  } catch (const CLI::ParseError& error) {
    result.exitStatus = kExitBadUsage;
    result.err = badUsage(error.what());
    return result;
  }

  if (color != "auto" && color != "always" && color != "never") {
    result.exitStatus = kExitBadUsage;
    result.err = badUsage("--color: WHEN is auto, always or never, not \"" + color + "\".");
    return result;
  }
  if (diff && staged) {
    result.exitStatus = kExitBadUsage;
    result.err = badUsage("--diff writes no file, so it cannot be --staged.");
    return result;
  }
  if (jobsOption->count() > 0 && jobs < 1) {
    result.exitStatus = kExitBadUsage;
    result.err = badUsage("--jobs: N must be at least 1, not " + std::to_string(jobs) + ".");
    return result;
  }
  if (codePageOption->count() > 0) {
    CodePageSetting parsed = parseCodePageSetting(codePage);
    if (!parsed.error.empty()) {
      result.exitStatus = kExitBadUsage;
      result.err = badUsage("--codepage: " + parsed.error + ".");
      return result;
    }
    options.codePages = std::move(parsed.candidates);
  }
  if (outputCodePageOption->count() > 0) {
    OutputCodePageSetting parsed = parseOutputCodePage(outputCodePage);
    if (!parsed.known) {
      result.exitStatus = kExitBadUsage;
      result.err = badUsage("--output-codepage: Unknown code page \"" + outputCodePage + "\".");
      return result;
    }
    options.outputEncoding = std::move(parsed.encoding);
  }
  if (suffixOption->count() > 0) options.suffix = suffix;
  if (options.files.empty()) {
    result.exitStatus = kExitBadUsage;
    result.err = badUsage("No FILE given.");
    return result;
  }

  // A pass named on its own wins over --all, wherever either stands.
  for (const Pass& pass : passTable()) {
    const auto i = static_cast<std::size_t>(pass.id);
    options.passes.set(pass.id, flagOptions[i]->count() > 0 ? flagValues[i]
                                : all                       ? true
                                                            : pass.onByDefault);
  }
  if (settingsOption->count() > 0) options.settingsFile = settingsFile;
  options.jobs = jobs < 1 ? 1u : static_cast<unsigned>(jobs);
  options.mode = diff ? RunMode::Preview : staged ? RunMode::Staged : RunMode::SinglePass;
  options.color = color == "always"  ? CliOptions::Color::Always
                  : color == "never" ? CliOptions::Color::Never
                                     : CliOptions::Color::Auto;
  result.options = std::move(options);
  return result;
}

}  // namespace pellumar::cli
