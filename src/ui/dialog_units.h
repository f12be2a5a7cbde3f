#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QSize>

namespace quintrel {

// The dialog base units of a font, as the Windows dialog manager derives them: the average
// width of the 52 Latin letters and the character height, in pixels.
struct DialogBaseUnits {
  int charWidth = 0;
  int charHeight = 0;
};

DialogBaseUnits ComputeBaseUnits(const QFontMetrics& metrics);

// A rectangle given in dialog units, in pixels: x by charWidth / 4, y by charHeight / 8,
// each edge rounded on its own.
QRect DialogRect(const DialogBaseUnits& units, int x, int y, int width, int height);
QSize DialogSize(const DialogBaseUnits& units, int width, int height);

// The dialogs' font: the Japanese UI font the templates name where installed, else the
// nearest installed Japanese gothic, 9 points.
QFont DialogFont();

}  // namespace quintrel
