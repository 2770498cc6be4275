#include "CEdit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

QLineEdit* CEdit::Line() const { return qobject_cast<QLineEdit*>(m_widget); }

QPlainTextEdit* CEdit::Multi() const { return qobject_cast<QPlainTextEdit*>(m_widget); }

void CEdit::SetSel(int start, int end, BOOL noScroll) {
  if (QLineEdit* line = Line()) {
    const int length = static_cast<int>(line->text().size());
    if (start < 0) return line->deselect();
    const int last = end < 0 || end > length ? length : end;
    const int first = std::min(start, length);
    line->setSelection(first, last - first);
  } else if (QPlainTextEdit* multi = Multi()) {
    QTextCursor cursor = multi->textCursor();
    const int length = static_cast<int>(multi->toPlainText().size());
    if (start < 0) {
      cursor.clearSelection();
    } else {
      cursor.setPosition(std::min(start, length));
      cursor.setPosition(end < 0 || end > length ? length : end, QTextCursor::KeepAnchor);
    }
    multi->setTextCursor(cursor);
    if (!noScroll) multi->ensureCursorVisible();
  }
}

void CEdit::GetSel(int& start, int& end) const {
  start = end = 0;
  if (QLineEdit* line = Line()) {
    start = line->hasSelectedText() ? static_cast<int>(line->selectionStart()) : line->cursorPosition();
    end = line->hasSelectedText() ? static_cast<int>(line->selectionEnd()) : start;
  } else if (QPlainTextEdit* multi = Multi()) {
    start = multi->textCursor().selectionStart();
    end = multi->textCursor().selectionEnd();
  }
}

void CEdit::ReplaceSel(LPCSTR text, BOOL) {
  const QString value = QString::fromUtf8(text ? text : "");
  if (QLineEdit* line = Line())
    line->insert(value);
  else if (QPlainTextEdit* multi = Multi())
    multi->insertPlainText(QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CEdit::Copy() {
  if (QLineEdit* line = Line()) line->copy();
  if (QPlainTextEdit* multi = Multi()) multi->copy();
}

void CEdit::Cut() {
  if (QLineEdit* line = Line()) line->cut();
  if (QPlainTextEdit* multi = Multi()) multi->cut();
}

void CEdit::Paste() {
  if (QLineEdit* line = Line()) line->paste();
  if (QPlainTextEdit* multi = Multi()) multi->paste();
}

void CEdit::Clear() { ReplaceSel(""); }

BOOL CEdit::SetReadOnly(BOOL readOnly) {
  if (QLineEdit* line = Line()) line->setReadOnly(readOnly);
  else if (QPlainTextEdit* multi = Multi()) multi->setReadOnly(readOnly);
  else return FALSE;
  return TRUE;
}

void CEdit::ScrollCaret() {
  if (QPlainTextEdit* multi = Multi()) multi->ensureCursorVisible();
}

void CEdit::LimitText(int maxChars) {
  if (QLineEdit* line = Line()) line->setMaxLength(maxChars > 0 ? maxChars : 32767);
}
