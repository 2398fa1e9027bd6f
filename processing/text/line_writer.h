#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "processing/text/text_encoding.h"

namespace pellumar {

/// Writes UTF-8 lines to a newly created file in a given encoding, each
/// followed by CR LF, with the encoding's byte-order mark first when it has one.
///
/// The file is created afresh: whatever stands at the name (an old file, a
/// symlink) is removed first, never written through. Given an open `fd`, the
/// writer writes there instead and `path` only names it in messages. Throws
/// RunFailure naming the file on any failure; `shownName` is the name used in
/// the message about a character the code page cannot hold.
class LineWriter {
 public:
  LineWriter(const std::string& path, TextEncoding encoding, std::string shownName = {},
             int fd = -1);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void writeLine(std::string_view line);
  /// Flushes and closes; throws on failure. The destructor only closes.
  void close();

  const std::string& path() const { return path_; }
  std::size_t linesWritten() const { return lines_; }

 private:
  void flush();
  void encode(std::string_view text);

  std::string path_;
  std::string shownName_;
  TextEncoding encoding_;
  int fd_ = -1;
  std::string out_;
  std::size_t lines_ = 0;
};

}  // namespace pellumar
