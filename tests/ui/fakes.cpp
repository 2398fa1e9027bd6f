#include "tests/ui/fakes.h"

#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace pellumar::testing {

void clickBox(QCheckBox* box) {
  // A laid-out box can be wider than its caption, and its centre then misses it.
  QStyleOptionButton option;
  option.initFrom(box);
  const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

}  // namespace pellumar::testing
