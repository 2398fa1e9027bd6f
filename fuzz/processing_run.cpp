// A whole run on any file, with passes, settings and leftovers picked by the
// first two bytes: it keeps every promise of a run, and both modes end alike
// (see tests/support/mode_comparison.h). The differential test runs it on
// generated files under every set of passes.

#include "fuzz/fuzz_support.h"
#include "tests/support/mode_comparison.h"
#include "tests/support/stage_runner.h"

namespace pellumar::fuzz::processing_run {

// Built once each: building a page asks iconv about every byte.
std::shared_ptr<const CodePage> page(std::size_t i) {
  static const std::shared_ptr<const CodePage> pages[] = {
      CodePage::open("windows-1250"), CodePage::open("ISO-8859-2"), CodePage::open("KOI8-R"),
      CodePage::open("CP852")};
  return pages[i];
}

// "from=to|from=to": split at the first "=".
std::vector<TextPair> pairs(const std::string& entries) {
  std::vector<TextPair> table;
  for (const std::string& entry : testing::split(entries, '|'))
    table.push_back({entry.substr(0, entry.find('=')), entry.substr(entry.find('=') + 1)});
  return table;
}

// Bits 0-1 of `choice` pick the name suffix, 2-3 the tables, 4-5 the page
// of the tables read from the input.
Settings settingsFrom(ByteReader& input, unsigned char choice) {
  Settings settings{{}, {}, std::vector{"_PL", "-clean", ".bak", "_"}[choice & 3]};
  switch (choice >> 2 & 3) {
    case 0:
      settings.localChars = pairs("ą=a|ę=e|ł=l|ó=o|Ż=Z");
      settings.replacements = pairs("teh=the|<i>=|</i>=|...=…|  = ");
      break;
    case 1:
      // Entries that reach into the other passes' business, and characters
      // the default page cannot hold, sometimes taken back by a later entry.
      settings.localChars = pairs("ó=oo|x={|a=ą|ł=|ż=☃|7= |-=—");
      settings.replacements = pairs("☃=z|--=-->|Hello={y:i}|world= , |1=|teh=ж|=x|x=|?= ?");
      break;
    case 2:
      // A page whose upper half differs from windows-1250, without "…"; a
      // lone surrogate, as a UTF-16 settings file may give, which pairs up
      // with one in a UTF-16 file once written.
      settings.localChars = pairs("ą=a|ł=l|e=\xED\xA0\xBD");
      settings.replacements = pairs("...=…|teh=the|😀=smile|\xED\xA0\xBD=x");
      settings.legacyCodePage = page(1);
      break;
    default:
      settings.localChars.resize(input.byte() % 6);
      for (TextPair& entry : settings.localChars) entry = {input.piece(4), input.piece(6)};
      settings.replacements.resize(input.byte() % 8);
      for (TextPair& entry : settings.replacements) entry = {input.piece(6), input.piece(6)};
      settings.legacyCodePage = page(choice >> 4 & 3);
  }
  return settings;
}

// Bits 0-5 of the first byte ask for the passes (bit i for pass i of the
// pass table), bit 6 puts leftovers beside the file, bit 7 names it "notes".
int run(const std::uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const unsigned char options = input.byte();
  const Settings settings = settingsFrom(input, input.byte());
  const std::string difference = testing::differenceBetweenModes(
      scratchFolder(), options & 0x80 ? "notes" : "movie.srt", std::string(input.rest), settings,
      testing::passesFrom(options & 0x3F), (options & 0x40) != 0);
  if (!difference.empty()) fail(difference, __FILE__, __LINE__);
  return 0;
}

}  // namespace pellumar::fuzz::processing_run

PELLUMAR_FUZZ_TARGET(processing_run)
