#include "tests/ui/fakes.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

namespace pellumar::testing {

void whenModalShows(std::function<void(QWidget*)> answer, std::function<bool(QWidget*)> isWanted) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, poll,
                   [poll, answer = std::move(answer), isWanted = std::move(isWanted)] {
                     QWidget* modal = QApplication::activeModalWidget();
                     if (modal == nullptr || !modal->isVisible() || !isWanted(modal)) return;
                     poll->stop();
                     poll->deleteLater();
                     answer(modal);
                   });
  poll->start();
}

void clickBox(QCheckBox* box) {
  // A laid-out box can be wider than its caption, and its centre then misses it.
  QStyleOptionButton option;
  option.initFrom(box);
  const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

}  // namespace pellumar::testing
