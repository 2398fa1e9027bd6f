#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "processing/files/file_io.h"
#include "processing/text/text_encoding.h"
#include "processing/text/utf8.h"

namespace pellumar {

/// Reads a text file line by line in a given encoding, as UTF-8 lines without
/// their terminators. CR LF, a lone CR and a lone LF each end a line; a file
/// that ends with a terminator yields no empty line after it, and an empty file
/// yields none. A byte-order mark is not part of the first line.
///
/// Throws RunFailure naming the file when it cannot be opened or read, and
/// NotUtf8 when the encoding says to check UTF-8 and the text is not.
class LineReader {
 public:
  /// Given `contents`, the file's bytes already read, reads those instead of
  /// the file, which `path` then only names; they must outlive the reader.
  LineReader(const std::string& path, TextEncoding encoding, const std::string* contents = nullptr);
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Reads the next line into `line`; false at the end of the file.
  bool next(std::string& line);

  /// Number of the line `next` returned last, from 1.
  std::size_t lineNumber() const { return lineNumber_; }
  /// True once a line read so far ended otherwise than in CR LF, the last
  /// line without any end included.
  bool sawOtherLineEnds() const { return otherEnds_; }

 private:
  void fill();
  std::string_view nextPiece();
  void decodeChunk(const char* data, std::size_t size);

  std::string path_;
  TextEncoding encoding_;
  std::optional<FileReader> file_;
  std::string_view unread_;  // of the contents given instead of the file
  bool eof_ = false;
  bool started_ = false;
  std::string buf_;  // decoded text not yet returned starts at pos_
  std::size_t pos_ = 0;
  std::size_t scanned_ = 0;   // no terminator in [pos_, scanned_)
  std::string carry_;         // UTF-16/32 bytes waiting for the rest of their unit
  char16_t pendingHigh_ = 0;  // UTF-16 high surrogate waiting for its partner
  Utf8Validator validator_;   // for encoding_.checkWhileReading
  std::size_t lineNumber_ = 0;
  bool otherEnds_ = false;
};

}  // namespace pellumar
