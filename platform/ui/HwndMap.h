// Window handles are the widgets themselves: a handle is a QWidget pointer
// seen as an opaque value.
#pragma once

#include "UiDefs.h"

class QWidget;

HWND HwndFromWidget(QWidget* widget);
// Null when the handle names no living widget, so a stale or invented
// handle can never be dereferenced.
QWidget* WidgetFromHwnd(HWND hwnd);
BOOL IsWindow(HWND hwnd);
