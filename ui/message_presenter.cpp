#include "ui/message_presenter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTextEdit>

#include "ui/object_names.h"

namespace pellumar {

namespace {

QString withNewlines(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

}  // namespace

Message displayedMessage(const std::string& text, MessageIcon icon,
                         const std::optional<std::string>& title, const std::string& details) {
  return Message{withNewlines(text), QString::fromStdString(title.value_or(kAppTitle)), icon,
                 withNewlines(details)};
}

QString diffAsHtml(const QString& diff) {
  QString html = QStringLiteral("<pre>");
  for (const QString& line : diff.split(QLatin1Char('\n'))) {
    const QString text = line.toHtmlEscaped();
    const QChar first = line.isEmpty() ? QChar() : line.front();
    if (line.startsWith(QLatin1String("---")) || line.startsWith(QLatin1String("+++"))) {
      html += QStringLiteral("<b>%1</b>\n").arg(text);
    } else if (first == QLatin1Char('-') || first == QLatin1Char('+') ||
               first == QLatin1Char('@')) {
      const char* colour = first == QLatin1Char('-')   ? "#b00000"
                           : first == QLatin1Char('+') ? "#007000"
                                                       : "#0060a0";
      html +=
          QStringLiteral("<span style=\"color:%1\">%2</span>\n").arg(QLatin1String(colour), text);
    } else {
      html += text + QLatin1Char('\n');
    }
  }
  return html + QStringLiteral("</pre>");
}

void MessageBoxPresenter::show(const Message& message) {
  QMessageBox box(
      message.icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
      message.title, message.text, QMessageBox::Ok, parent_);
  // Messages quote file names and subtitle lines; none of them is markup.
  box.setTextFormat(Qt::PlainText);
  // The changes a run made, as a unified diff in a fixed-width font, its
  // removed lines red and added ones green.
  if (!message.details.isEmpty()) {
    box.setDetailedText(message.details);
    for (auto* view : box.findChildren<QTextEdit*>()) {
      view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
      view->setLineWrapMode(QTextEdit::NoWrap);
      view->setHtml(diffAsHtml(message.details));
      // Room for a subtitle line beside its sign, and a hunk or two.
      const QFontMetrics metrics(view->font());
      view->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 72,
                           metrics.lineSpacing() * 16);
    }
  }
  box.exec();
}

}  // namespace pellumar
