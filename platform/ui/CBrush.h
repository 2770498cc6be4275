// A solid brush, or the null brush that paints nothing.
#pragma once

#include "GdiTypes.h"

class CBrush {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) : m_color(color), m_null(false) {}
  BOOL CreateSolidBrush(COLORREF color) {
    m_color = color;
    m_null = false;
    return TRUE;
  }
  bool IsNull() const { return m_null; }
  COLORREF Color() const { return m_color; }

 private:
  COLORREF m_color = RGB(0, 0, 0);
  bool m_null = true;
};
