#include "ui/window_info.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <QRegularExpression>

namespace quintrel {

namespace {

// The first seven numbers of the text as sscanf("%d ...") would read them: stops at the
// first piece that is not a whole decimal number.
std::optional<std::vector<int>> ReadSevenNumbers(const QString& text) {
  static const QRegularExpression kSpaces(QStringLiteral("\\s+"));
  const QStringList pieces = text.trimmed().split(kSpaces, Qt::SkipEmptyParts);
  std::vector<int> numbers;
  for (const QString& piece : pieces) {
    if (numbers.size() == kColumnCount + 2) break;
    bool ok = false;
    const int value = piece.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    numbers.push_back(value);
  }
  if (numbers.size() != kColumnCount + 2) return std::nullopt;
  return numbers;
}

int ClampSide(int value, int minimum, int maximum) {
  return std::max(minimum, std::min(value, std::max(minimum, maximum)));
}

}  // namespace

QString FormatWindowInfo(const WindowInfo& info) {
  QString text = QStringLiteral("%1 %2").arg(info.outerSize.width()).arg(info.outerSize.height());
  for (int width : info.columnWidths) text += QStringLiteral(" %1").arg(width);
  return text;
}

WindowInfo ParseWindowInfo(const QString& text, const WindowInfo& defaults,
                           const WindowLimits& limits) {
  const std::optional<std::vector<int>> numbers = ReadSevenNumbers(text);
  if (!numbers) return defaults;
  WindowInfo info;
  info.outerSize =
      QSize(ClampSide((*numbers)[0], limits.minimum.width(), limits.maximum.width()),
            ClampSide((*numbers)[1], limits.minimum.height(), limits.maximum.height()));
  for (int i = 0; i < kColumnCount; ++i) {
    const int width = (*numbers)[i + 2];
    info.columnWidths[i] =
        width < 1 ? kDefaultColumnWidths[i] : std::min(width, std::max(1, limits.maxColumnWidth));
  }
  return info;
}

}  // namespace quintrel
