#include "ui/history_combo.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "ui/history_string.h"

namespace quintrel {

namespace {

// The local path of a drop that carries exactly one local file or folder, else empty.
QString SingleDroppedPath(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  const QList<QUrl> urls = mime->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  return QDir::toNativeSeparators(urls.front().toLocalFile());
}

// Keys that delete text: the edit update that follows must not complete the deleted
// characters back. A cut deletes the selection, so it counts as a deletion too.
bool DeletesText(const QKeyEvent& key) {
  return key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete ||
         key.matches(QKeySequence::Cut);
}

}  // namespace

CHistoryCombo::CHistoryCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // The history rules below replace the box's own: no insertion on Enter, and completion
  // that shows the history item in its own letter case (Qt's completer keeps the typed case).
  setInsertPolicy(QComboBox::NoInsert);
  setDuplicatesEnabled(true);
  setCompleter(nullptr);
  setAcceptDrops(true);
  lineEdit()->setAcceptDrops(false);
  // The box passes the keys it has the focus for to its edit field by calling the field
  // directly, past the field's filters; keys can reach either, so both are watched.
  installEventFilter(this);
  lineEdit()->installEventFilter(this);
  connect(lineEdit(), &QLineEdit::textEdited, this, &CHistoryCombo::OnTextEdited);
}

QString CHistoryCombo::GetText() const {
  return currentText();
}

void CHistoryCombo::SetText(const QString& text) {
  setEditText(text);
}

QString CHistoryCombo::GetHistoryString() const {
  HistoryContent content{GetText(), {}};
  for (int i = 0; i < count(); ++i) content.items.append(itemText(i));
  return JoinHistoryString(content);
}

void CHistoryCombo::LoadHistoryString(const QString& history) {
  const HistoryContent content = SplitHistoryString(history);
  addItems(content.items);
  // Set last: adding the first item makes it current, which would replace the edit text.
  setEditText(content.editText);
}

void CHistoryCombo::CommitText() {
  if (!m_bCommitOnKillFocus) return;
  const QString text = GetText();
  if (text.isEmpty() || (!m_refused.isEmpty() && text == m_refused)) return;
  const int found = findText(text, Qt::MatchFixedString);
  if (found >= 0) removeItem(found);
  insertItem(0, text);
  while (count() > m_nMaxHistory) removeItem(count() - 1);
  setCurrentIndex(0);
  setEditText(text);
}

void CHistoryCombo::RefuseText(const QString& text) {
  m_refused = text;
  if (text.isEmpty()) return;
  const QString shown = GetText();
  for (int found; (found = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive)) >= 0;) {
    removeItem(found);
  }
  // Removing the current item makes another current, which would replace the edit text.
  if (GetText() != shown) setEditText(shown);
}

void CHistoryCombo::AcceptText() {
  m_refused.clear();
}

void CHistoryCombo::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  CommitText();
}

void CHistoryCombo::showPopup() {
  CommitText();
  QComboBox::showPopup();
}

bool CHistoryCombo::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == this || watched == lineEdit()) && event->type() == QEvent::KeyPress) {
    const auto& key = *static_cast<QKeyEvent*>(event);
    // Escape takes back an unconfirmed completion before it can close the window.
    if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier && DropCompletion()) {
      return true;
    }
    m_bCompleteNext = !DeletesText(key);
  }
  return QComboBox::eventFilter(watched, event);
}

void CHistoryCombo::OnTextEdited(const QString& typed) {
  m_completed.clear();
  if (!m_bAutoComplete || !m_bCompleteNext || typed.isEmpty()) return;
  for (int i = 0; i < count(); ++i) {
    const QString item = itemText(i);
    if (item.startsWith(typed, Qt::CaseInsensitive)) {
      lineEdit()->setText(item);
      lineEdit()->setSelection(item.size(), typed.size() - item.size());
      m_typed = typed;
      m_completed = item;
      return;
    }
  }
}

bool CHistoryCombo::DropCompletion() {
  QLineEdit* edit = lineEdit();
  const bool showing = !m_completed.isEmpty() && edit->text() == m_completed &&
                       edit->hasSelectedText() && edit->selectionStart() == m_typed.size();
  m_completed.clear();
  if (!showing) return false;
  edit->setText(m_typed);
  return true;
}

void CHistoryCombo::dragEnterEvent(QDragEnterEvent* event) {
  if (!SingleDroppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CHistoryCombo::dragMoveEvent(QDragMoveEvent* event) {
  if (!SingleDroppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CHistoryCombo::dropEvent(QDropEvent* event) {
  if (TakeDrop(event->mimeData())) event->acceptProposedAction();
}

bool CHistoryCombo::TakeDrop(const QMimeData* mime) {
  const QString path = SingleDroppedPath(mime);
  if (path.isEmpty()) return false;
  SetText(path);
  return true;
}

}  // namespace quintrel
