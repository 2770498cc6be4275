// A device context over a QPainter, with the drawing calls owner-drawn
// controls make: rectangles, focus frames, lines with the selected pen and
// text with the window system's alignment, ellipsis and prefix rules. Its handle
// is its own address; a CDC attached to a handle shares the drawing state
// (colours, pen, position) of the CDC the handle names.
#pragma once

#include <QPoint>
#include <memory>

#include "CBrush.h"
#include "CPen.h"
#include "CString.h"
#include "GdiTypes.h"

class QPainter;

class CDC {
 public:
  CDC();
  // Draws with the painter, which must outlive this object's drawing.
  explicit CDC(QPainter* painter);
  ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  static CDC* FromHandle(HDC hdc) { return static_cast<CDC*>(hdc); }
  HDC GetSafeHdc() { return this; }
  BOOL Attach(HDC hdc);
  HDC Detach();
  QPainter* Painter() const;

  void FillRect(LPCRECT rect, CBrush* brush);
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  // One-pixel frame inside the rectangle.
  void FrameRect(LPCRECT rect, CBrush* brush);
  // A dotted frame that inverts what lies under it, as the window system's does.
  void DrawFocusRect(LPCRECT rect);
  // count -1: up to the terminator. Returns the text height; with
  // DT_CALCRECT measures into `rect` without drawing.
  int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);
  int DrawText(const CString& text, LPRECT rect, UINT format);
  CSize GetTextExtent(LPCSTR text, int count) const;

  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);  // TRANSPARENT (the start) or OPAQUE
  int GetBkMode() const;

  // Return the object selected before.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  // Draws from the current position up to, not including, the end point.
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }

 private:
  struct State;
  std::shared_ptr<State> m_state;
};
