#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QSize>
#include <QString>

#include "check_report.h"
#include "ui/window_info.h"

namespace quintrel::fuzz {

// Reads the fuzz input's header: limits, defaults and seven numbers of a stored text.
class HeaderReader {
 public:
  HeaderReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  std::uint16_t Next16() { return static_cast<std::uint16_t>(Next8() | Next8() << 8); }
  std::int32_t Next32() {
    std::uint32_t value = Next16();
    value |= static_cast<std::uint32_t>(Next16()) << 16;
    std::int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
  }
  std::size_t Used() const { return m_at; }

 private:
  std::uint8_t Next8() { return m_at < m_size ? m_data[m_at++] : 0; }

  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

inline int HighestSide(int minimum, int maximum) {
  return std::max(minimum, maximum);
}

// A size inside the limits; the upper one gives way when the screen is below the minimum.
inline bool SizeInsideLimits(QSize size, const WindowLimits& limits) {
  return size.width() >= limits.minimum.width() &&
         size.width() <= HighestSide(limits.minimum.width(), limits.maximum.width()) &&
         size.height() >= limits.minimum.height() &&
         size.height() <= HighestSide(limits.minimum.height(), limits.maximum.height());
}

// Every column at least one pixel and at most the widest column allowed; with `orDefault`, a
// column's default width is accepted too.
inline bool WidthsInsideLimits(const WindowInfo& info, const WindowLimits& limits, bool orDefault) {
  for (int i = 0; i < kColumnCount; ++i) {
    const int width = info.columnWidths[i];
    const bool allowed = width >= 1 && width <= std::max(1, limits.maxColumnWidth);
    if (!allowed && !(orDefault && width == kDefaultColumnWidths[i])) return false;
  }
  return true;
}

// What the numbers of a complete stored text must give: sizes clamped, widths below one
// replaced by their defaults and others cut to the widest allowed.
inline WindowInfo ExpectedFromNumbers(const std::array<std::int32_t, 7>& numbers,
                                      const WindowLimits& limits) {
  WindowInfo info;
  info.outerSize = QSize(std::clamp(numbers[0], limits.minimum.width(),
                                    HighestSide(limits.minimum.width(), limits.maximum.width())),
                         std::clamp(numbers[1], limits.minimum.height(),
                                    HighestSide(limits.minimum.height(), limits.maximum.height())));
  for (int i = 0; i < kColumnCount; ++i) {
    const int width = numbers[i + 2];
    info.columnWidths[i] =
        width < 1 ? kDefaultColumnWidths[i] : std::min(width, std::max(1, limits.maxColumnWidth));
  }
  return info;
}

inline std::string Show(const WindowInfo& info) {
  return FormatWindowInfo(info).toStdString();
}

// Whatever the stored text, the window comes back usable: either the defaults (the present
// window) or a size inside the limits with columns of sane widths. A complete text gives
// exactly its clamped numbers, also when followed by anything after a blank.
inline CheckReport CheckWindowInfo(const std::uint8_t* data, std::size_t size) {
  HeaderReader header(data, size);
  WindowLimits limits;
  limits.minimum = QSize(1 + header.Next16() % 2048, 1 + header.Next16() % 2048);
  limits.maximum = QSize(header.Next16() % 8192, header.Next16() % 8192);
  limits.maxColumnWidth = header.Next16() % 8192;
  const WindowInfo defaults{QSize(header.Next16(), header.Next16()), kDefaultColumnWidths};
  std::array<std::int32_t, 7> numbers;
  for (std::int32_t& number : numbers) number = header.Next32();
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data) + header.Used(),
                                         static_cast<qsizetype>(size - header.Used()));

  const WindowInfo parsed = ParseWindowInfo(text, defaults, limits);
  const bool usable = SizeInsideLimits(parsed.outerSize, limits) &&
                      WidthsInsideLimits(parsed, limits, /*orDefault=*/true);
  if (!(parsed == defaults) && !usable) {
    return "parsed window outside the limits: " + Show(parsed);
  }
  const bool inside = SizeInsideLimits(parsed.outerSize, limits) &&
                      WidthsInsideLimits(parsed, limits, /*orDefault=*/false);
  if (inside && !(ParseWindowInfo(FormatWindowInfo(parsed), defaults, limits) == parsed)) {
    return "a stored window inside the limits reads back differently: " + Show(parsed);
  }

  WindowInfo stored{QSize(numbers[0], numbers[1]), {}};
  std::copy(numbers.begin() + 2, numbers.end(), stored.columnWidths.begin());
  const WindowInfo expected = ExpectedFromNumbers(numbers, limits);
  for (const QString& tail : {QString(), QStringLiteral(" ") + text}) {
    const WindowInfo read = ParseWindowInfo(FormatWindowInfo(stored) + tail, defaults, limits);
    if (!(read == expected)) {
      return "stored " + Show(stored) + " read as " + Show(read) + ", expected " + Show(expected);
    }
  }
  return {};
}

}  // namespace quintrel::fuzz
