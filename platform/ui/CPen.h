// A pen: style, width (0 draws one pixel wide at any scale) and colour.
#pragma once

#include "GdiTypes.h"

class CPen {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) : m_style(style), m_width(width), m_color(color) {}
  BOOL CreatePen(int style, int width, COLORREF color) {
    m_style = style;
    m_width = width;
    m_color = color;
    return TRUE;
  }
  int Style() const { return m_style; }
  int Width() const { return m_width; }
  COLORREF Color() const { return m_color; }

 private:
  int m_style = PS_SOLID;
  int m_width = 0;
  COLORREF m_color = RGB(0, 0, 0);
};
