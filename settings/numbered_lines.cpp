#include "settings/numbered_lines.h"

#include <limits>

#include "processing/code_page.h"
#include "processing/file_ops.h"
#include "processing/line_reader.h"
#include "processing/run_failure.h"
#include "processing/text_encoding.h"

namespace pellumar {

namespace {

// Reads the whole file, handing each line to `onLine`. False, with `error`
// set, when there is no file at `name` or it cannot be read.
template <typename OnLine>
bool readAllLines(const std::string& name, std::string& error, OnLine onLine) {
  if (!fileExists(name)) {
    error = name + " not found.";
    return false;
  }
  try {
    LineReader reader(name, detectFileEncoding(name, CodePage::defaultPage()));
    std::string line;
    while (reader.next(line)) onLine(line);
  } catch (const RunFailure& failure) {
    error = failure.what();
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::int32_t> countLines(const std::string& name, std::string& error) {
  std::int32_t count = 0;
  // Saturates rather than wraps: no line past the largest k can be asked for anyway.
  const bool read = readAllLines(name, error, [&count](const std::string&) {
    if (count < std::numeric_limits<std::int32_t>::max()) ++count;
  });
  if (!read) return std::nullopt;
  return count;
}

std::optional<std::string> readLineAt(const std::string& name, std::int32_t k, std::string& error) {
  std::string result;
  std::int64_t number = 0;
  // Reads on to the end even after line k, so a file that fails to read
  // anywhere fails every call alike.
  const bool read = readAllLines(name, error, [&](const std::string& line) {
    if (++number == k) result = line;
  });
  if (!read) return std::nullopt;
  return result;
}

}  // namespace pellumar
