#pragma once

#include <string>
#include <string_view>

#include "processing/text/text_encoding.h"

namespace pellumar {

struct SubtitleKind {
  bool isMicroDvd = false;  ///< more than 3 lines with two "{" and two "}"
  bool isSubRip = false;    ///< more than 3 lines holding "-->"
  bool operator==(const SubtitleKind&) const = default;
};

/// True for a line holding at least two "{" and at least two "}".
bool isFrameLine(std::string_view line);

/// True for a line holding "-->".
bool isArrowLine(std::string_view line);

/// Counts frame lines and arrow lines of the file at `path`, stopping as soon
/// as both counts are past 3. Throws RunFailure when the file cannot be read.
/// Given `contents`, the file's bytes already read, counts in those instead.
SubtitleKind detectSubtitleKind(const std::string& path, const TextEncoding& encoding,
                                const std::string* contents = nullptr);

/// The message for a file of neither kind; `optionLabel` is the asking
/// option's caption between double quotes.
std::string unknownKindMessage(const std::string& optionLabel);

}  // namespace pellumar
