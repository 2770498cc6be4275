#include "SysColors.h"

#include <QApplication>
#include <QPalette>

#include "CBrush.h"
#include "CPen.h"

namespace {

QPalette::ColorRole RoleOf(int index) {
  switch (index) {
    case COLOR_WINDOW: return QPalette::Base;
    case COLOR_WINDOWTEXT: return QPalette::Text;
    case COLOR_HIGHLIGHT: return QPalette::Highlight;
    case COLOR_HIGHLIGHTTEXT: return QPalette::HighlightedText;
    case COLOR_BTNFACE: return QPalette::Button;
    case COLOR_BTNTEXT: return QPalette::ButtonText;
    case COLOR_BTNSHADOW: return QPalette::Mid;
    case COLOR_WINDOWFRAME: return QPalette::Shadow;
    case COLOR_SCROLLBAR: return QPalette::Window;
    default: return QPalette::NoRole;
  }
}

}  // namespace

QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

COLORREF FromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

COLORREF GetSysColor(int index) {
  const QPalette palette = QApplication::palette();
  if (index == COLOR_GRAYTEXT) return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
  const QPalette::ColorRole role = RoleOf(index);
  return role == QPalette::NoRole ? RGB(0, 0, 0) : FromQColor(palette.color(QPalette::Active, role));
}

CBrush* GetStockBrush(int index) {
  static CBrush white(RGB(255, 255, 255)), light(RGB(192, 192, 192)), gray(RGB(128, 128, 128)),
      dark(RGB(64, 64, 64)), black(RGB(0, 0, 0)), none;
  switch (index) {
    case WHITE_BRUSH: return &white;
    case LTGRAY_BRUSH: return &light;
    case GRAY_BRUSH: return &gray;
    case DKGRAY_BRUSH: return &dark;
    case BLACK_BRUSH: return &black;
    case NULL_BRUSH: return &none;
    default: return nullptr;
  }
}

CPen* GetStockPen(int index) {
  static CPen white(PS_SOLID, 0, RGB(255, 255, 255)), black(PS_SOLID, 0, RGB(0, 0, 0)), none(PS_NULL, 0, 0);
  switch (index) {
    case WHITE_PEN: return &white;
    case BLACK_PEN: return &black;
    case NULL_PEN: return &none;
    default: return nullptr;
  }
}
