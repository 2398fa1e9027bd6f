#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pellumar::testing {

/// A fresh folder under the system's temporary folder (in memory, under
/// /dev/shm where writable, when `inMemory`), removed with everything in it
/// when the object goes.
class TempDir {
 public:
  explicit TempDir(bool inMemory = false);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The path of `name` inside the folder, as a string.
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

/// Writes exactly these bytes, replacing the file.
void writeBytes(const std::string& path, const std::string& bytes);

/// The file's bytes; throws std::runtime_error when it cannot be read.
std::string readBytes(const std::string& path);

/// Names of the entries in a folder, sorted.
std::string listFolder(const std::filesystem::path& folder);

/// The lines, each followed by `end`.
std::string joinLines(const std::vector<std::string>& lines, std::string_view end = "\r\n");

/// `text` as UTF-16 or UTF-32 bytes after a byte-order mark, little- or big-endian.
std::string utf16(std::u16string_view text, bool bigEndian);
std::string utf32(std::u32string_view text, bool bigEndian);

}  // namespace pellumar::testing
