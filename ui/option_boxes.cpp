#include "ui/option_boxes.h"

#include <QCheckBox>
#include <QGridLayout>
#include <optional>

namespace pellumar {

namespace {

// Help mode is the one box that is no pass.
constexpr const char* kHelpCaption = "give me help";
constexpr const char* kHelpTooltip = "Get ToolTip help";

// Box N of the design, what it does and where it stands. Left: the passes
// in the order a run applies them. Right: blank-line removal beside the
// first row, help mode beside the last (the open button goes between them).
struct Box {
  int number;
  std::optional<PassId> pass;  // none: help mode
  int row;
  int column;
};

constexpr Box kBoxes[OptionBoxes::kCount] = {
    {1, PassId::RemoveFormattingCodes, 2, 0},
    {2, PassId::DeleteRedundantSpaces, 3, 0},
    {3, PassId::SubstituteLocalChars, 0, 0},
    {4, PassId::DeleteBlankSubtitles, 0, 1},
    {5, std::nullopt, 4, 1},
    {6, PassId::ReplaceStrings, 1, 0},
    {7, PassId::FixSrtBlankLines, 4, 0},
};

}  // namespace

OptionBoxes::OptionBoxes(QWidget* window, QGridLayout& grid) {
  for (const Box& place : kBoxes) {
    const Pass* pass = place.pass ? &passOf(*place.pass) : nullptr;
    auto* box = new QCheckBox(QString::fromUtf8(pass ? pass->caption : kHelpCaption), window);
    box->setObjectName(QStringLiteral("Check%1").arg(place.number));
    box->setChecked(pass && pass->onByDefault);
    grid.addWidget(box, place.row, place.column);
    boxes_[static_cast<std::size_t>(place.number - 1)] = box;
    if (pass) {
      passBoxes_[static_cast<std::size_t>(pass->id)] = box;
    } else {
      help_ = box;
    }
  }
}

QCheckBox* OptionBoxes::passBox(PassId pass) const {
  return passBoxes_[static_cast<std::size_t>(pass)];
}

QCheckBox* OptionBoxes::numbered(int number) const {
  return boxes_[static_cast<std::size_t>(number - 1)];
}

PassSet OptionBoxes::ticked() const {
  PassSet passes;
  for (const Pass& pass : passTable()) passes.set(pass.id, passBox(pass.id)->isChecked());
  return passes;
}

void OptionBoxes::showHelp(bool on) {
  for (const Pass& pass : passTable()) {
    passBox(pass.id)->setToolTip(on ? QString::fromUtf8(pass.helpText) : QString());
  }
  help_->setToolTip(on ? QString::fromUtf8(kHelpTooltip) : QString());
}

std::string farewellMessage(const std::string& contactAddress) {
  return "If you find my little tool useful, just send an\r\n   \"thanksPL\" email to \"" +
         contactAddress + "\"";
}

}  // namespace pellumar
