#pragma once

#include <string>

#include "processing/passes/line_stage.h"

namespace pellumar {

/// Keeps the first empty line of every run of empty lines.
class SrtBlankLineStage : public LineStage {
 public:
  void push(std::string& line, LineSink& out) override;

 private:
  bool inRun_ = false;
};

}  // namespace pellumar
