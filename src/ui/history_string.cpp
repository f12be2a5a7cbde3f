#include "ui/history_string.h"

namespace quintrel {

namespace {
constexpr QChar kSeparator = u'|';
}

HistoryContent SplitHistoryString(const QString& history) {
  HistoryContent content;
  bool first = true;
  qsizetype start = 0;
  // Each round takes one piece and the separator after it; a separator that ends the string
  // leaves nothing to read, so it adds no item.
  while (start < history.size()) {
    const qsizetype separator = history.indexOf(kSeparator, start);
    const qsizetype end = separator < 0 ? history.size() : separator;
    const QString piece = history.mid(start, end - start);
    if (first) {
      content.editText = piece;
      first = false;
    } else {
      content.items.append(piece);
    }
    start = separator < 0 ? history.size() : separator + 1;
  }
  return content;
}

QString JoinHistoryString(const HistoryContent& content) {
  QString history = content.editText;
  for (const QString& item : content.items) {
    history += kSeparator;
    history += item;
  }
  return history;
}

}  // namespace quintrel
