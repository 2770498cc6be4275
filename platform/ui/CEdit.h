// An edit control: single-line or multi-line. Positions count characters,
// a line break counting as one.
#pragma once

#include "CWnd.h"

class QLineEdit;
class QPlainTextEdit;

class CEdit : public CWnd {
 public:
  // Selects [start, end); an end of -1 or past the text means its end, a
  // start of -1 removes the selection.
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void GetSel(int& start, int& end) const;
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
  // Copies the selection to the clipboard, as the control itself does.
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  BOOL SetReadOnly(BOOL readOnly = TRUE);
  void ScrollCaret();
  void LimitText(int maxChars);

 private:
  QLineEdit* Line() const;
  QPlainTextEdit* Multi() const;
};
