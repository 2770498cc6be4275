#include "HwndMap.h"

#include <QApplication>
#include <QWidget>

HWND HwndFromWidget(QWidget* widget) { return static_cast<HWND>(widget); }

QWidget* WidgetFromHwnd(HWND hwnd) {
  if (!hwnd) return nullptr;
  for (QWidget* widget : QApplication::allWidgets())
    if (static_cast<HWND>(widget) == hwnd) return widget;
  return nullptr;
}

BOOL IsWindow(HWND hwnd) { return WidgetFromHwnd(hwnd) != nullptr; }
