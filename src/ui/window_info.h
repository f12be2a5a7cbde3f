#pragma once

#include <array>

#include <QSize>
#include <QString>

#include "compare/results/result_row.h"

namespace quintrel {

inline constexpr std::array<int, kColumnCount> kDefaultColumnWidths = {15, 140, 60, 60, 60};

// The stored window size (outer: frame and caption included) and the list's column widths.
struct WindowInfo {
  QSize outerSize;
  std::array<int, kColumnCount> columnWidths = kDefaultColumnWidths;

  bool operator==(const WindowInfo&) const = default;
};

// What a stored size may be: at least `minimum` (the window is unusable below it) and at
// most `maximum` (the screen). Column widths above `maxColumnWidth` are cut down to it.
struct WindowLimits {
  QSize minimum;
  QSize maximum;
  int maxColumnWidth = 0;
};

// "%d %d %d %d %d %d %d": outer width, outer height, widths of columns 0 to 4.
QString FormatWindowInfo(const WindowInfo& info);

// Reads seven decimal numbers separated by white space (anything after the seventh is
// ignored). Text without seven numbers gives `defaults`; a size is clamped to `limits`, and
// a column width below 1 takes its default width.
WindowInfo ParseWindowInfo(const QString& text, const WindowInfo& defaults,
                           const WindowLimits& limits);

}  // namespace quintrel
