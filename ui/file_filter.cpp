#include "ui/file_filter.h"

namespace pellumar {

QStringList qtNameFilters(const std::string& filter) {
  const QStringList items = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList nameFilters;
  for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : items[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      if (trimmed.isEmpty()) continue;
      patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty()) continue;
    // Qt reads the patterns from the last parentheses, so the description may
    // hold parentheses of its own, as "(*.sub;*.srt;*.txt)" does.
    nameFilters << QStringLiteral("%1 (%2)").arg(items[i], patterns.join(QLatin1Char(' ')));
  }
  return nameFilters;
}

}  // namespace pellumar
