#pragma once

#include <QComboBox>
#include <QString>

class QMimeData;

namespace quintrel {

// An editable folder box that keeps a most-recent-first history, completes typed text from
// it, and takes the path of one dropped file or folder.
class CHistoryCombo : public QComboBox {
  Q_OBJECT

 public:
  explicit CHistoryCombo(QWidget* parent = nullptr);

  QString GetText() const;
  void SetText(const QString& text);

  // The edit text followed by "|" and each history item; LoadHistoryString reads it back,
  // adding to the items already present.
  QString GetHistoryString() const;
  void LoadHistoryString(const QString& history);

  // Moves the edit text to the top of the history, dropping a case-insensitive duplicate
  // and trimming the history to its maximum. An empty text is not committed.
  void CommitText();

  // Whether leaving the box (or opening its list) commits its text; on by default.
  void SetCommitOnKillFocus(bool commit) { m_bCommitOnKillFocus = commit; }

  // A folder a run could not open: leaves the history, and stays out of it (a later commit
  // of the same text is ignored) until a run opens the box's folder again (AcceptText).
  // The edit text stays as it is, for the user to mend.
  void RefuseText(const QString& text);
  void AcceptText();

  // Takes the local path of a drop carrying exactly one local file or folder as the text;
  // anything else is refused. Returns whether the drop was taken.
  bool TakeDrop(const QMimeData* mime);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 public:
  void showPopup() override;

 private:
  void OnTextEdited(const QString& typed);
  // Escape with a completion showing: back to the text as typed. Returns whether there was one.
  bool DropCompletion();

  bool m_bCommitOnKillFocus = true;
  bool m_bAutoComplete = true;
  bool m_bCompleteNext = true;
  int m_nMaxHistory = 10;
  QString m_typed;      // the text as typed before the completion showing, if any
  QString m_completed;  // that completion
  QString m_refused;    // a folder no run could open, kept out of the history
};

}  // namespace quintrel
