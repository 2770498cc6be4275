// System colours, taken from the desktop's palette, and the stock objects.
#pragma once

#include <QColor>

#include "GdiTypes.h"

class CBrush;
class CPen;

COLORREF GetSysColor(int index);
QColor ToQColor(COLORREF color);
COLORREF FromQColor(const QColor& color);
// The stock brushes and pens (BLACK_BRUSH, WHITE_PEN, ...); null for an
// index that names no such object of that kind.
CBrush* GetStockBrush(int index);
CPen* GetStockPen(int index);
