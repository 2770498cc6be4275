#include <QGuiApplication>
#include <vector>

#include "InputDefs.h"

namespace {

// Events nest (a handler may send another), so the outer event's modifiers
// come back when an inner one ends.
thread_local std::vector<int> eventModifiers;

}  // namespace

void BeginEventModifiers(int qtModifiers) { eventModifiers.push_back(qtModifiers); }

void EndEventModifiers() {
  if (!eventModifiers.empty()) eventModifiers.pop_back();
}

SHORT GetKeyState(int virtualKey) {
  const Qt::KeyboardModifiers held = eventModifiers.empty() ? QGuiApplication::keyboardModifiers()
                                                            : Qt::KeyboardModifiers(eventModifiers.back());
  bool down = false;
  switch (static_cast<UINT>(virtualKey)) {
    case VK_SHIFT: down = held & Qt::ShiftModifier; break;
    case VK_CONTROL: down = held & Qt::ControlModifier; break;
    case VK_MENU: down = held & Qt::AltModifier; break;
    default: break;
  }
  return down ? static_cast<SHORT>(0x8000) : 0;
}
