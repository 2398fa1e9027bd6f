#include "tests/support/test_files.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pellumar::testing {

TempDir::TempDir(bool inMemory) {
  const bool shm = inMemory && ::access("/dev/shm", W_OK) == 0;
  std::string pattern =
      ((shm ? "/dev/shm" : std::filesystem::temp_directory_path()) / "pellumar-test-XXXXXX")
          .string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string listFolder(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const auto& name : names) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

std::string joinLines(const std::vector<std::string>& lines, std::string_view end) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append(end);
  return text;
}

// After a byte-order mark, each unit's bytes, the lowest first unless `bigEndian`.
template <typename Unit>
std::string unicodeBytes(std::basic_string_view<Unit> text, bool bigEndian) {
  std::string bytes;
  for (const Unit unit : Unit(0xFEFF) + std::basic_string<Unit>(text)) {
    for (std::size_t i = 0; i < sizeof(Unit); ++i) {
      const std::size_t shift = 8 * (bigEndian ? sizeof(Unit) - 1 - i : i);
      bytes.push_back(static_cast<char>((static_cast<char32_t>(unit) >> shift) & 0xFF));
    }
  }
  return bytes;
}

std::string utf16(std::u16string_view text, bool big) { return unicodeBytes(text, big); }
std::string utf32(std::u32string_view text, bool big) { return unicodeBytes(text, big); }

}  // namespace pellumar::testing
