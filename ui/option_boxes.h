#pragma once

#include <QString>
#include <array>

#include "processing/options.h"

class QCheckBox;
class QWidget;

namespace pellumar {

/// The window's seven option boxes. Each is named "Check" + checkBoxNumber, so
/// options.h stays the one place that pairs an option with its box.
class OptionBoxes {
 public:
  /// Creates the boxes as children of `window`, in box-number order, with
  /// their captions and starting values.
  explicit OptionBoxes(QWidget* window);

  QCheckBox* box(Option option) const;

 private:
  std::array<QCheckBox*, kOptionCount> boxes_{};
};

/// "Check1" … "Check7".
QString checkBoxName(Option option);

/// Character substitution and string replacement start ticked; the rest clear.
bool tickedAtStart(Option option);

}  // namespace pellumar
