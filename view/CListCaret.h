// The caret of the grid's cell editor: a solid line drawn over the list's
// rows that blinks at the desktop's cursor flash time. It behaves as the
// window system's caret: it exists only between CreateSolidCaret and
// DestroyCaret, starts hidden, and HideCaret/ShowCaret nest.
#pragma once

#include <QPointer>
#include <QTimer>

#include "GdiTypes.h"

class CListCtrl;
class QWidget;

class CListCaret {
 public:
  CListCaret();
  ~CListCaret();
  CListCaret(const CListCaret&) = delete;
  CListCaret& operator=(const CListCaret&) = delete;

  // Replaces any caret this object holds. Fails without a list window.
  BOOL CreateSolidCaret(CListCtrl* list, int width, int height);
  BOOL DestroyCaret();
  BOOL ShowCaret();
  BOOL HideCaret();
  // In the list's client coordinates (the header at the top).
  BOOL SetCaretPos(int x, int y);
  POINT GetCaretPos() const { return m_position; }

  bool Exists() const { return m_line != nullptr; }
  // Shown as far as the hide count goes, whatever the blink phase.
  bool IsShown() const { return Exists() && m_hideCount == 0; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Milliseconds between blinks while shown; 0 when it does not blink.
  int BlinkInterval() const { return m_blink.isActive() ? m_blink.interval() : 0; }
  // The line as it stands on screen now (for tests: geometry, visibility).
  QWidget* Line() const { return m_line; }

 private:
  void Restart();
  void ScheduleApply();
  void Apply();

  QPointer<QWidget> m_line;
  CListCtrl* m_list = nullptr;
  QTimer m_blink;
  QTimer m_apply;
  POINT m_position;
  int m_width = 0;
  int m_height = 0;
  int m_hideCount = 0;
  bool m_blinkOn = true;
};
