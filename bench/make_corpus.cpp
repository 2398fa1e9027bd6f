// Writes the benchmark's files into a folder: a large SubRip file, a large
// MicroDVD file (20 MB each unless told), many small SubRip files, the
// sample lexmend.ini and settings with full tables (full.ini). The text is
// Polish dialogue in UTF-8 with what the passes look for: {y:i}
// codes, spaces before punctuation and after hyphens, subtitles without
// text, runs of empty lines. The same arguments always give the same bytes.
//
//   make_corpus FOLDER [LARGE_BYTES] [SMALL_FILES] [SMALL_BYTES]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "tests/support/random.h"

namespace {

using pellumar::testing::Random;

const char* const kWords[] = {
    "nie",        "tak",       "to",       "jest",        "się",      "że",        "już",
    "może",       "wiem",      "gdzie",    "jesteś",      "tutaj",    "dlaczego",  "zrobiłeś",
    "mówię",      "prawdę",    "chodź",    "późno",       "żółty",    "książka",   "pięć",
    "dziewczyna", "mężczyzna", "słuchaj",  "proszę",      "dziękuję", "człowiek",  "miłość",
    "ręka",       "właśnie",   "więc",     "jeszcze",     "wszystko", "będzie",    "dobrze",
    "źle",        "noc",       "dzień",    "ścieżka",     "Łódź",     "żaden",     "ćma",
    "pociąg",     "dworzec",   "czekałem", "widziałeś",   "naprawdę", "kochanie",  "zaraz",
    "wrócę",      "ojciec",    "matka",    "brat",        "siostra",  "pieniądze", "samochód",
    "policja",    "szybko",    "uważaj",   "przepraszam", "dom",      "woda",      "ogień",
    "ciemno",     "światło",   "jutro",    "wczoraj",     "zawsze",   "nigdy",     "razem",
    "sam",        "moja",      "twój",     "nasz",        "ich",      "ten",       "tamten",
    "co",         "kto",       "jak",      "kiedy",       "ile",      "bardzo",    "trochę",
};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kEndings[] = {".", ".", ".", "?", "!", "...", ",", ":"};

// One line of dialogue as a subtitle shows it.
void appendSentence(Random& random, std::string& out) {
  if (random.percent(8)) out += "{y:i}";
  if (random.percent(15)) out += random.percent(50) ? "- " : "-  ";
  const bool italic = random.percent(4);
  if (italic) out += "<i>";
  const std::size_t words = 2 + random.below(6);
  for (std::size_t i = 0; i < words; ++i) {
    std::string word = kWords[random.below(kWordCount)];
    if (i == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
    if (i > 0) out += random.percent(3) ? "  " : " ";
    out += word;
    if (i + 1 < words && random.percent(10)) out += random.percent(30) ? " ," : ",";
  }
  if (random.percent(12)) out += ' ';
  out += kEndings[random.below(std::size(kEndings))];
  if (italic) out += "</i>";
  if (random.percent(3)) out += ' ';
}

void appendTime(std::uint64_t ms, std::string& out) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u,%03u", static_cast<unsigned>(ms / 3600000),
                static_cast<unsigned>(ms / 60000 % 60), static_cast<unsigned>(ms / 1000 % 60),
                static_cast<unsigned>(ms % 1000));
  out += text;
}

class Output {
 public:
  explicit Output(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) {
      std::perror(path.c_str());
      std::exit(1);
    }
  }
  ~Output() {
    flush();
    std::fclose(file_);
  }
  std::string& text() { return text_; }
  std::size_t written() const { return written_ + text_.size(); }
  void flushIfLarge() {
    if (text_.size() >= (1 << 20)) flush();
  }

 private:
  void flush() {
    std::fwrite(text_.data(), 1, text_.size(), file_);
    written_ += text_.size();
    text_.clear();
  }
  std::FILE* file_;
  std::string text_;
  std::size_t written_ = 0;
};

void writeSubRip(const std::filesystem::path& path, std::size_t bytes, std::uint64_t seed) {
  Random random(seed);
  Output out(path);
  std::string& text = out.text();
  std::uint64_t ms = 1000 + random.below(5000);
  for (std::size_t n = 1; out.written() < bytes; ++n) {
    text += std::to_string(n);
    text += "\r\n";
    appendTime(ms, text);
    text += " --> ";
    ms += 1200 + random.below(3000);
    appendTime(ms, text);
    text += "\r\n";
    ms += 200 + random.below(2000);
    // One subtitle in twenty-five has no text; some have an extra empty line.
    if (!random.percent(4)) {
      const std::size_t lines = random.percent(40) ? 2 : 1;
      for (std::size_t i = 0; i < lines; ++i) {
        appendSentence(random, text);
        text += "\r\n";
      }
    }
    text += "\r\n";
    if (random.percent(3)) text += "\r\n";
    out.flushIfLarge();
  }
}

void writeMicroDvd(const std::filesystem::path& path, std::size_t bytes, std::uint64_t seed) {
  Random random(seed);
  Output out(path);
  std::string& text = out.text();
  std::uint64_t frame = 100 + random.below(200);
  while (out.written() < bytes) {
    const std::uint64_t end = frame + 30 + random.below(90);
    text += '{';
    text += std::to_string(frame);
    text += "}{";
    text += std::to_string(end);
    text += '}';
    // Frame numbers stay those of a film at 25 frames a second: a new one
    // starts after about two hours.
    frame = end + 5 + random.below(60);
    if (frame > 180000) frame = 100 + random.below(200);
    if (!random.percent(4)) {
      appendSentence(random, text);
      if (random.percent(40)) {
        text += '|';
        appendSentence(random, text);
      }
    }
    text += "\r\n";
    out.flushIfLarge();
  }
}

void writeSettings(const std::filesystem::path& path, const std::string& localChars,
                   const std::string& replacements) {
  Output out(path);
  out.text() = "; Pellumar benchmark settings\r\nNAMESUFIXADD=_PL\r\nCODEPAGE=windows-1250\r\n";
  out.text() += "[LOCAL_CHAR]\r\n" + localChars + "[RSTRINGS]\r\n" + replacements + "[EOF]\r\n";
}

// The settings of the sample file: the Polish letters and three replacements.
const char* const kSampleLocalChars[] = {"ą=a", "ć=c", "ę=e", "ł=l", "ń=n", "ó=o",
                                         "ś=s", "ź=z", "ż=z", "Ą=A", "Ć=C", "Ę=E",
                                         "Ł=L", "Ń=N", "Ó=O", "Ś=S", "Ź=Z", "Ż=Z"};
const char* const kSampleReplacements[] = {"<i>=", "</i>=", "  = "};

// A full local-character table for Polish subtitles that the replacement
// table below gives their diacritics back: the Polish letters as they look
// when a windows-1250 or ISO-8859-2 file was read as windows-1252 or
// ISO-8859-1, then Czech, Slovak, German and French letters, 60 in all.
const char* const kFullLocalChars[] = {
    "¹=ą", "æ=ć", "ê=ę", "³=ł", "ñ=ń", "œ=ś", "Ÿ=ź", "¿=ż", "¥=Ą", "Æ=Ć", "Ê=Ę", "£=Ł",
    "Ñ=Ń", "Œ=Ś", "¯=Ż", "±=ą", "¶=ś", "¼=ź", "¡=Ą", "¦=Ś", "¬=Ź", "č=c", "ď=d", "ě=e",
    "ň=n", "ř=r", "š=s", "ť=t", "ů=u", "ý=y", "ž=z", "Č=C", "Ď=D", "Ě=E", "Ň=N", "Ř=R",
    "Š=S", "Ť=T", "Ů=U", "Ý=Y", "Ž=Z", "á=a", "é=e", "í=i", "ú=u", "Á=A", "É=E", "Í=I",
    "Ú=U", "ä=a", "ö=o", "ü=u", "Ä=A", "Ö=O", "Ü=U", "ß=s", "à=a", "è=e", "ç=c", "â=a"};

// A full replacement table as OCR clean-up lists hold them: misread letters,
// HTML entities, missing Polish diacritics and punctuation, 100 in all. Many
// share their first letters; some are one byte long.
const char* const kFullReplacements[] = {
    "l'm=I'm",
    "Iook=look",
    "rn=m",
    "I'II=I'll",
    "l'II=I'll",
    "lt's=It's",
    "lsn't=Isn't",
    "Ieave=leave",
    "Iittle=little",
    "Iife=life",
    "Iove=love",
    "Iet's=let's",
    "AIl=All",
    "aII=all",
    "wiII=will",
    "vv=w",
    "0K=OK",
    "0h=Oh",
    "c0=co",
    "n0=no",
    "tlie=the",
    "tbe=the",
    "Wbat=What",
    "wben=when",
    "arid=and",
    "&amp;=&",
    "&quot;=\"",
    "&lt;=<",
    "&gt;=>",
    "&apos;='",
    "&#39;='",
    "&nbsp;= ",
    "&hellip;=…",
    "sie=się",
    "juz=już",
    "moze=może",
    "zycie=życie",
    "wiecej=więcej",
    "bedzie=będzie",
    "prosze=proszę",
    "dziekuje=dziękuję",
    "mowie=mówię",
    "jestes=jesteś",
    "zrobiles=zrobiłeś",
    "wlasnie=właśnie",
    "czlowiek=człowiek",
    "milosc=miłość",
    "reka=ręka",
    "zle=źle",
    "dzien=dzień",
    "sciezka=ścieżka",
    "Lodz=Łódź",
    "zaden=żaden",
    "pociag=pociąg",
    "czekalem=czekałem",
    "widziales=widziałeś",
    "naprawde=naprawdę",
    "wroce=wrócę",
    "pieniadze=pieniądze",
    "samochod=samochód",
    "uwazaj=uważaj",
    "swiatlo=światło",
    "twoj=twój",
    "troche=trochę",
    "pozno=późno",
    "zolty=żółty",
    "ksiazka=książka",
    "wiec=więc",
    "chodz=chodź",
    "prawde=prawdę",
    "gdzies=gdzieś",
    "wszedzie=wszędzie",
    "mezczyzna=mężczyzna",
    "ogien=ogień",
    "wczesniej=wcześniej",
    "mysle=myślę",
    "rowniez=również",
    "pieknie=pięknie",
    "wlasciwie=właściwie",
    "dlugo=długo",
    "...=…",
    " ,=,",
    " .=.",
    " ?=?",
    " !=!",
    ",,=„",
    "''=\"",
    "-- =— ",
    "  = ",
    "<i>=",
    "</i>=",
    "<b>=",
    "</b>=",
    "`='",
    "~=-",
    "\t= ",
    "´='",
    " :=:",
    "?\?=?",
    "Sie=Się",
};
static_assert(std::size(kFullLocalChars) == 60 && std::size(kFullReplacements) == 100);

template <std::size_t N>
std::string lines(const char* const (&entries)[N]) {
  std::string text;
  for (const char* entry : entries) text += std::string(entry) + "\r\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [LARGE_BYTES] [SMALL_FILES] [SMALL_BYTES]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const std::size_t largeBytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20000000;
  const std::size_t smallFiles = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 5000;
  const std::size_t smallBytes = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 40000;

  std::filesystem::create_directories(folder / "batch");
  writeSettings(folder / "lexmend.ini", lines(kSampleLocalChars), lines(kSampleReplacements));
  writeSettings(folder / "full.ini", lines(kFullLocalChars), lines(kFullReplacements));
  writeSubRip(folder / "large.srt", largeBytes, 1);
  writeMicroDvd(folder / "large.sub", largeBytes, 2);
  for (std::size_t i = 0; i < smallFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%05zu.srt", i + 1);
    writeSubRip(folder / "batch" / name, smallBytes, 1000 + i);
  }
  return 0;
}
