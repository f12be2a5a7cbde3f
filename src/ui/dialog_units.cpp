#include "ui/dialog_units.h"

#include <cmath>

#include <QFontDatabase>
#include <QStringList>

namespace quintrel {

namespace {

constexpr int kDialogFontPoints = 9;

// a * b / c rounded half away from zero, as the Windows MulDiv.
int MulDiv(int a, int b, int c) {
  return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

DialogBaseUnits ComputeBaseUnits(const QFontMetrics& metrics) {
  const int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return DialogBaseUnits{(width / 26 + 1) / 2, metrics.height()};
}

QRect DialogRect(const DialogBaseUnits& units, int x, int y, int width, int height) {
  const int left = MulDiv(x, units.charWidth, 4);
  const int top = MulDiv(y, units.charHeight, 8);
  const int right = MulDiv(x + width, units.charWidth, 4);
  const int bottom = MulDiv(y + height, units.charHeight, 8);
  return QRect(left, top, right - left, bottom - top);
}

QSize DialogSize(const DialogBaseUnits& units, int width, int height) {
  return DialogRect(units, 0, 0, width, height).size();
}

QFont DialogFont() {
  static const QStringList kPreferred = {
      QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
      QStringLiteral("IPAPGothic"),      QStringLiteral("Noto Sans CJK JP"),
      QStringLiteral("Yu Gothic UI"),    QStringLiteral("Meiryo UI")};
  const QStringList installed = QFontDatabase::families();
  QFont font;
  for (const QString& family : kPreferred) {
    if (installed.contains(family, Qt::CaseInsensitive)) {
      font.setFamilies({family});
      break;
    }
  }
  font.setPointSize(kDialogFontPoints);
  return font;
}

}  // namespace quintrel
