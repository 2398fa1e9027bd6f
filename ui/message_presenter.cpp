#include "ui/message_presenter.h"

#include <QMessageBox>

#include "ui/object_names.h"

namespace pellumar {

Message displayedMessage(const std::string& text, MessageIcon icon,
                         const std::optional<std::string>& title) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return Message{shown, QString::fromStdString(title.value_or(kAppTitle)), icon};
}

void MessageBoxPresenter::show(const Message& message) {
  QMessageBox box(
      message.icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
      message.title, message.text, QMessageBox::Ok, parent_);
  // Messages quote file names and subtitle lines; none of them is markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace pellumar
