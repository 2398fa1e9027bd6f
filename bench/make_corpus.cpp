// Writes the benchmark's files into a folder: a large SubRip file, a large
// MicroDVD file, many small SubRip files and the lexmend.ini they are cleaned
// with. The text is Polish dialogue in UTF-8 with what the passes look for:
// {y:i} codes, spaces before punctuation and after hyphens, subtitles without
// text, runs of empty lines. The same arguments always give the same bytes.
//
//   make_corpus FOLDER [LARGE_BYTES] [SMALL_FILES] [SMALL_BYTES]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// splitmix64: small, fast and the same everywhere, unlike std::mt19937's
// distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
  bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }

 private:
  std::uint64_t state_;
};

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
  if (random.chance(8)) out += "{y:i}";
  if (random.chance(15)) out += random.chance(50) ? "- " : "-  ";
  const bool italic = random.chance(4);
  if (italic) out += "<i>";
  const std::size_t words = 2 + random.below(6);
  for (std::size_t i = 0; i < words; ++i) {
    std::string word = kWords[random.below(kWordCount)];
    if (i == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
    if (i > 0) out += random.chance(3) ? "  " : " ";
    out += word;
    if (i + 1 < words && random.chance(10)) out += random.chance(30) ? " ," : ",";
  }
  if (random.chance(12)) out += ' ';
  out += kEndings[random.below(std::size(kEndings))];
  if (italic) out += "</i>";
  if (random.chance(3)) out += ' ';
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
    if (!random.chance(4)) {
      const std::size_t lines = random.chance(40) ? 2 : 1;
      for (std::size_t i = 0; i < lines; ++i) {
        appendSentence(random, text);
        text += "\r\n";
      }
    }
    text += "\r\n";
    if (random.chance(3)) text += "\r\n";
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
    if (!random.chance(4)) {
      appendSentence(random, text);
      if (random.chance(40)) {
        text += '|';
        appendSentence(random, text);
      }
    }
    text += "\r\n";
    out.flushIfLarge();
  }
}

void writeSettings(const std::filesystem::path& path) {
  Output out(path);
  out.text() =
      "; Pellumar benchmark settings\r\n"
      "NAMESUFIXADD=_PL\r\n"
      "CODEPAGE=windows-1250\r\n"
      "[LOCAL_CHAR]\r\n"
      "ą=a\r\nć=c\r\nę=e\r\nł=l\r\nń=n\r\nó=o\r\nś=s\r\nź=z\r\nż=z\r\n"
      "Ą=A\r\nĆ=C\r\nĘ=E\r\nŁ=L\r\nŃ=N\r\nÓ=O\r\nŚ=S\r\nŹ=Z\r\nŻ=Z\r\n"
      "[RSTRINGS]\r\n"
      "...=…\r\n"
      "<i>=\r\n"
      "</i>=\r\n"
      "  = \r\n"
      "[EOF]\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [LARGE_BYTES] [SMALL_FILES] [SMALL_BYTES]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const std::size_t largeBytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 100000000;
  const std::size_t smallFiles = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 5000;
  const std::size_t smallBytes = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 40000;

  std::filesystem::create_directories(folder / "batch");
  writeSettings(folder / "lexmend.ini");
  writeSubRip(folder / "large.srt", largeBytes, 1);
  writeMicroDvd(folder / "large.sub", largeBytes, 2);
  for (std::size_t i = 0; i < smallFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%05zu.srt", i + 1);
    writeSubRip(folder / "batch" / name, smallBytes, 1000 + i);
  }
  return 0;
}
