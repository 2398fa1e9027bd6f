#include "cli/output_text.h"

namespace pellumar::cli {

void writeText(const std::string& text, std::FILE* stream) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stream);
}

std::string errorLine(const std::string& text, const std::optional<std::string>& file) {
  std::string line = std::string(kProgramName) + ": ";
  if (file) line += *file + ": ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      line += ' ';
      ++i;
    } else if (text[i] == '\r' || text[i] == '\n') {
      line += ' ';
    } else {
      line += text[i];
    }
  }
  return line + "\n";
}

}  // namespace pellumar::cli
