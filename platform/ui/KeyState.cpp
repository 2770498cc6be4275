#include <QGuiApplication>

#include "InputDefs.h"

// The modifiers as of the last input event, so keys sent by tests count too.
SHORT GetKeyState(int virtualKey) {
  const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
  bool down = false;
  switch (static_cast<UINT>(virtualKey)) {
    case VK_SHIFT: down = held & Qt::ShiftModifier; break;
    case VK_CONTROL: down = held & Qt::ControlModifier; break;
    case VK_MENU: down = held & Qt::AltModifier; break;
    default: break;
  }
  return down ? static_cast<SHORT>(0x8000) : 0;
}
