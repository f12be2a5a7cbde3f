#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

#include "check_report.h"
#include "ui/history_string.h"

namespace quintrel::fuzz {

// Storing what was read gives back the stored text, less one separator at its very end
// (which adds nothing when read); the pieces hold no separator and number one more than the
// separators that are followed by something.
inline CheckReport CheckStoredHistory(const QString& stored) {
  const HistoryContent content = SplitHistoryString(stored);
  const QString expected = stored.endsWith(u'|') ? stored.chopped(1) : stored;
  if (JoinHistoryString(content) != expected) return "storing a read history changed it";
  if (content.editText.contains(u'|') || content.items.join(QString()).contains(u'|')) {
    return "a piece holds a separator";
  }
  const qsizetype separators = expected.count(u'|');
  if (content.items.size() != separators) {
    return Describe("read ", content.items.size(), " items from ", separators, " separators");
  }
  return {};
}

// A box's text and list without separators, and whose last item is not empty, come back
// unchanged after storing and reading.
inline CheckReport CheckHistoryRoundTrip(const QString& source) {
  QStringList pieces = source.split(u'\n');
  for (QString& piece : pieces) piece.remove(u'|');
  HistoryContent content{pieces.takeFirst(), pieces};
  while (!content.items.isEmpty() && content.items.last().isEmpty()) content.items.removeLast();
  const QString stored = JoinHistoryString(content);
  if (!(SplitHistoryString(stored) == content)) {
    return Describe("a history of ", content.items.size(), " items did not survive storing");
  }
  return {};
}

// The input as UTF-8 (invalid sequences replaced) and as raw UTF-16 code units (unpaired
// surrogates included).
inline CheckReport CheckHistoryString(const std::uint8_t* data, std::size_t size) {
  const QString fromUtf8 =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString fromUnits;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    fromUnits.append(QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8)));
  }
  for (const QString& text : {fromUtf8, fromUnits}) {
    if (CheckReport report = CheckStoredHistory(text); !report.empty()) return report;
    if (CheckReport report = CheckHistoryRoundTrip(text); !report.empty()) return report;
  }
  return {};
}

}  // namespace quintrel::fuzz
