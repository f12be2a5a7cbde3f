#pragma once

#include <QString>
#include <QStringList>

namespace quintrel {

// A folder box's edit text and its history items, most recent first.
struct HistoryContent {
  QString editText;
  QStringList items;

  bool operator==(const HistoryContent&) const = default;
};

// Reads the stored "edit|item0|item1..." form. A separator at the very end adds nothing; two
// separators in a row give an empty item.
HistoryContent SplitHistoryString(const QString& history);

// The stored form: the edit text, then "|" and each item.
QString JoinHistoryString(const HistoryContent& content);

}  // namespace quintrel
