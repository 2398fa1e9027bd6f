#include "ui/option_boxes.h"

#include <QCheckBox>

namespace pellumar {

OptionBoxes::OptionBoxes(QWidget* window) {
  for (int number = 1; number <= kOptionCount; ++number) {
    const Option option = optionOfCheckBox(number);
    auto* box = new QCheckBox(QString::fromUtf8(optionCaption(option)), window);
    box->setObjectName(checkBoxName(option));
    box->setChecked(tickedAtStart(option));
    boxes_[static_cast<std::size_t>(number - 1)] = box;
  }
}

QCheckBox* OptionBoxes::box(Option option) const {
  return boxes_[static_cast<std::size_t>(checkBoxNumber(option) - 1)];
}

QString checkBoxName(Option option) {
  return QStringLiteral("Check%1").arg(checkBoxNumber(option));
}

bool tickedAtStart(Option option) {
  return option == Option::SubstituteLocalChars || option == Option::ReplaceStrings;
}

}  // namespace pellumar
