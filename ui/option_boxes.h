#pragma once

#include <QString>
#include <array>
#include <string>

#include "processing/passes/pass_table.h"

class QCheckBox;
class QGridLayout;
class QWidget;

namespace pellumar {

/// The window's seven boxes: one per pass, and help mode. The window's
/// design numbers them Check1 … Check7; the table in option_boxes.cpp is
/// the one place that pairs each number with what its box does.
class OptionBoxes {
 public:
  static constexpr int kCount = 7;

  /// Creates the boxes as children of `window`, in number order, with their
  /// captions and starting values, and puts them in `grid`.
  OptionBoxes(QWidget* window, QGridLayout& grid);

  QCheckBox* passBox(PassId pass) const;
  QCheckBox* helpBox() const { return help_; }
  /// Check1 … Check7, by number.
  QCheckBox* numbered(int number) const;

  /// The passes whose boxes are ticked now.
  PassSet ticked() const;
  /// Help mode on: each box shows its help as its tooltip; off: none does.
  void showHelp(bool on);

 private:
  std::array<QCheckBox*, kCount> boxes_{};
  std::array<QCheckBox*, kPassCount> passBoxes_{};
  QCheckBox* help_ = nullptr;
};

/// The message shown when the window closes in help mode; two lines joined
/// by CR LF like every message of the program.
std::string farewellMessage(const std::string& contactAddress);

}  // namespace pellumar
