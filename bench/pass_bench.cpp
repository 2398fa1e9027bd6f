// Throughput of the line rules and stages of the clean-up passes, on ordinary
// subtitle text and on single long lines built to defeat a rescanning rule.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "processing/passes/blank_subtitles.h"
#include "processing/passes/formatting_codes.h"
#include "processing/passes/line_stage.h"
#include "processing/passes/redundant_spaces.h"
#include "processing/passes/srt_blank_lines.h"
#include "processing/passes/subtitle_kind.h"

namespace pellumar {
namespace {

constexpr std::size_t kTextBytes = 1 << 20;

using Lines = std::vector<std::string>;

std::int64_t byteCount(const Lines& lines) {
  std::int64_t bytes = 0;
  for (const auto& line : lines) bytes += static_cast<std::int64_t>(line.size());
  return bytes;
}

const char* const kSentences[] = {
    "Where have you been all night?", "- I was at the station , waiting.",
    "- Waiting for what ?",           "{y:i}The train never came{/y}.",
    "You don't believe me , do you!", "It's late. Let's go home.",
    "<i>Somewhere far away</i>",      "I told you - twice - not to go there.",
};

std::string timing(int n) {
  const int s = n * 3;
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d,%03d --> %02d:%02d:%02d,%03d", s / 3600,
                s / 60 % 60, s % 60, 0, s / 3600, s / 60 % 60, s % 60 + 2, 500);
  return text;
}

// About 1 MB of SubRip text, one blank subtitle in every twenty.
const Lines& subRipText() {
  static const Lines lines = [] {
    Lines out;
    std::size_t bytes = 0;
    for (int n = 1; bytes < kTextBytes; ++n) {
      out.push_back(std::to_string(n));
      out.push_back(timing(n));
      if (n % 20 != 0) {
        out.push_back(kSentences[n % 8]);
        if (n % 3 == 0) out.push_back(kSentences[(n + 3) % 8]);
      }
      out.push_back("");
      if (n % 50 == 0) out.push_back("");
      for (std::size_t i = out.size() - 4; i < out.size(); ++i) bytes += out[i].size();
    }
    return out;
  }();
  return lines;
}

// About 1 MB of frame-based text, one line without text in every twenty.
const Lines& frameText() {
  static const Lines lines = [] {
    Lines out;
    std::size_t bytes = 0;
    for (int n = 1; bytes < kTextBytes; ++n) {
      std::string line = "{";
      line += std::to_string(n * 100);
      line += "}{";
      line += std::to_string(n * 100 + 80);
      line += "}";
      if (n % 20 != 0) line += kSentences[n % 8];
      bytes += line.size();
      out.push_back(std::move(line));
    }
    return out;
  }();
  return lines;
}

std::string repeated(const std::string& piece, std::size_t bytes) {
  std::string line;
  line.reserve(bytes + piece.size());
  while (line.size() < bytes) line += piece;
  return line;
}

// The rules work in place, so every iteration restores its input first; the
// copy is part of what is measured (a memcpy, small beside the rules).
template <void (*Rule)(std::string&)>
void ruleOnText(benchmark::State& state, const Lines& source) {
  Lines work = source;
  for (auto _ : state) {
    for (std::size_t i = 0; i < source.size(); ++i) {
      work[i].assign(source[i]);
      Rule(work[i]);
    }
    benchmark::DoNotOptimize(work.data());
  }
  state.SetBytesProcessed(state.iterations() * byteCount(source));
}

template <void (*Rule)(std::string&)>
void ruleOnLongLine(benchmark::State& state, const std::string& piece) {
  const std::string source = repeated(piece, static_cast<std::size_t>(state.range(0)));
  std::string work;
  for (auto _ : state) {
    work.assign(source);
    Rule(work);
    benchmark::DoNotOptimize(work.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
  state.SetComplexityN(static_cast<std::int64_t>(source.size()));
}

void BM_StripFormattingCodes_Text(benchmark::State& state) {
  ruleOnText<stripFormattingCodes>(state, frameText());
}
void BM_StripFormattingCodes_LineOfCodes(benchmark::State& state) {
  ruleOnLongLine<stripFormattingCodes>(state, "{a}");
}
void BM_StripFormattingCodes_LineOfOpenBraces(benchmark::State& state) {
  ruleOnLongLine<stripFormattingCodes>(state, "{a");
}
void BM_SpacesBeforePunctuation_Text(benchmark::State& state) {
  ruleOnText<removeSpacesBeforePunctuation>(state, subRipText());
}
void BM_SpacesBeforePunctuation_Line(benchmark::State& state) {
  ruleOnLongLine<removeSpacesBeforePunctuation>(state, "a  ,");
}
void BM_SpacesAfterHyphens_Text(benchmark::State& state) {
  ruleOnText<trimAndRemoveSpacesAfterHyphens>(state, subRipText());
}
void BM_SpacesAfterHyphens_Line(benchmark::State& state) {
  ruleOnLongLine<trimAndRemoveSpacesAfterHyphens>(state, "-  ");
}

void BM_IsIndexLine_Text(benchmark::State& state) {
  const Lines& source = subRipText();
  for (auto _ : state) {
    std::size_t count = 0;
    for (const auto& line : source) count += isIndexLine(line) ? 1 : 0;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * byteCount(source));
}

void BM_FrameLineHasText_Text(benchmark::State& state) {
  const Lines& source = frameText();
  for (auto _ : state) {
    std::size_t count = 0;
    for (const auto& line : source) count += frameLineHasText(line) ? 1 : 0;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * byteCount(source));
}

void BM_FrameLineHasText_Line(benchmark::State& state) {
  const std::string line = "{1}{2}" + repeated("{}", static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(frameLineHasText(line));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
  state.SetComplexityN(static_cast<std::int64_t>(line.size()));
}

void BM_DetectionTests_Text(benchmark::State& state) {
  const Lines& source = subRipText();
  for (auto _ : state) {
    std::size_t count = 0;
    for (const auto& line : source)
      count += (isFrameLine(line) ? 1 : 0) + (isArrowLine(line) ? 1 : 0);
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * byteCount(source));
}

class NullSink : public LineSink {
 public:
  void put(std::string& line) override { benchmark::DoNotOptimize(line.data()); }
};

class NullLog : public SkipLog {
 public:
  void skipped(std::string_view entry) override { benchmark::DoNotOptimize(entry.data()); }
};

template <typename Stage, typename... Log>
void stageOnText(benchmark::State& state, const Lines& source, Log&... log) {
  NullSink sink;
  std::string line;
  for (auto _ : state) {
    Stage stage(log...);
    for (const auto& text : source) {
      line.assign(text);
      stage.push(line, sink);
    }
    stage.finish(sink);
  }
  state.SetBytesProcessed(state.iterations() * byteCount(source));
}

void BM_FrameBlankStage_Text(benchmark::State& state) {
  NullLog log;
  stageOnText<FrameBlankStage>(state, frameText(), log);
}
void BM_BlockBlankStage_Text(benchmark::State& state) {
  NullLog log;
  stageOnText<BlockBlankStage>(state, subRipText(), log);
}
void BM_SrtBlankLineStage_Text(benchmark::State& state) {
  stageOnText<SrtBlankLineStage>(state, subRipText());
}

constexpr std::int64_t kSmallLine = 1 << 16;
constexpr std::int64_t kLargeLine = 1 << 22;

BENCHMARK(BM_StripFormattingCodes_Text);
BENCHMARK(BM_StripFormattingCodes_LineOfCodes)
    ->RangeMultiplier(4)
    ->Range(kSmallLine, kLargeLine)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_StripFormattingCodes_LineOfOpenBraces)
    ->RangeMultiplier(4)
    ->Range(kSmallLine, kLargeLine)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SpacesBeforePunctuation_Text);
BENCHMARK(BM_SpacesBeforePunctuation_Line)
    ->RangeMultiplier(4)
    ->Range(kSmallLine, kLargeLine)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SpacesAfterHyphens_Text);
BENCHMARK(BM_SpacesAfterHyphens_Line)
    ->RangeMultiplier(4)
    ->Range(kSmallLine, kLargeLine)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_IsIndexLine_Text);
BENCHMARK(BM_FrameLineHasText_Text);
BENCHMARK(BM_FrameLineHasText_Line)
    ->RangeMultiplier(4)
    ->Range(kSmallLine, kLargeLine)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_DetectionTests_Text);
BENCHMARK(BM_FrameBlankStage_Text);
BENCHMARK(BM_BlockBlankStage_Text);
BENCHMARK(BM_SrtBlankLineStage_Text);

}  // namespace
}  // namespace pellumar
