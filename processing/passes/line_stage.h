#pragma once

#include <string>
#include <string_view>

namespace pellumar {

/// Where a stage sends the lines it keeps.
class LineSink {
 public:
  virtual ~LineSink() = default;
  /// May take the line's content; the caller reuses the string afterwards.
  virtual void put(std::string& line) = 0;
};

/// Where blank-subtitle removal lists what it left out.
class SkipLog {
 public:
  virtual ~SkipLog() = default;
  virtual void skipped(std::string_view entry) = 0;
};

/// One pass's line rule, knowing nothing about files: lines in, lines out.
/// A stage may hold lines back (a subtitle block) until it sees more of the
/// text or until `finish`.
class LineStage {
 public:
  virtual ~LineStage() = default;
  virtual void push(std::string& line, LineSink& out) = 0;
  virtual void finish(LineSink& /*out*/) {}
};

/// A stage that changes each line on its own.
template <typename Rule>
class LineRuleStage : public LineStage {
 public:
  explicit LineRuleStage(Rule rule) : rule_(std::move(rule)) {}
  void push(std::string& line, LineSink& out) override {
    rule_(line);
    out.put(line);
  }

 private:
  Rule rule_;
};

/// Feeds a stage's output into the next stage.
class ChainedSink : public LineSink {
 public:
  ChainedSink(LineStage& stage, LineSink& next) : stage_(stage), next_(next) {}
  void put(std::string& line) override { stage_.push(line, next_); }

 private:
  LineStage& stage_;
  LineSink& next_;
};

}  // namespace pellumar
