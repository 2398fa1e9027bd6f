#pragma once

#include <array>
#include <string>
#include <string_view>

#include "processing/files/run_failure.h"
#include "processing/passes/line_stage.h"

namespace pellumar {

/// A line that reads back unchanged as a whole number: "0", or 1 to 15 digits
/// without leading zeros, optionally after a minus sign ("-0" is not).
bool isIndexLine(std::string_view line);

/// True when some character other than a brace follows the point where the
/// line has shown two "{" and two "}".
bool frameLineHasText(std::string_view line);

/// "Cannot buffer more than" CR LF "13 lines / screen (please check subline
/// <firstLine> in .srt file)."
std::string overlongBlockMessage(std::string_view firstLine);

/// A subtitle block too long to buffer: the pass cannot go on.
class OverlongBlock : public RunFailure {
 public:
  using RunFailure::RunFailure;
};

inline constexpr const char* kSkippedFrameLine = "Skipped line : ";
inline constexpr const char* kSkippedBlock = "Skipped line nr. ";

/// Frame-based files: each line is a subtitle; lines without text are left out.
class FrameBlankStage : public LineStage {
 public:
  explicit FrameBlankStage(SkipLog& log) : log_(log) {}
  void push(std::string& line, LineSink& out) override;

 private:
  SkipLog& log_;
  std::string entry_;
};

/// SubRip files: blocks start at index lines and are written or left out as a
/// whole. A block that reaches a 14th line throws OverlongBlock.
class BlockBlankStage : public LineStage {
 public:
  static constexpr std::size_t kMaxBlockLines = 13;

  explicit BlockBlankStage(SkipLog& log) : log_(log) {}
  void push(std::string& line, LineSink& out) override;
  void finish(LineSink& out) override;

 private:
  void decide(LineSink& out);

  SkipLog& log_;
  std::array<std::string, kMaxBlockLines> block_;
  std::size_t count_ = 0;
  bool leading_ = true;
  std::string entry_;
};

}  // namespace pellumar
