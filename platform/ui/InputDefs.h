// Keyboard, mouse and scrolling constants of the original window system, and
// the key-state query, so input handlers read the same.
#pragma once

#include "UiDefs.h"

// Virtual keys.
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;

// Mouse message flags.
constexpr UINT MK_LBUTTON = 0x1;
constexpr UINT MK_RBUTTON = 0x2;
constexpr UINT MK_SHIFT = 0x4;
constexpr UINT MK_CONTROL = 0x8;

// Scroll bars and scroll requests.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr UINT SB_LINEUP = 0;
constexpr UINT SB_LINEDOWN = 1;
constexpr UINT SB_PAGEUP = 2;
constexpr UINT SB_PAGEDOWN = 3;
constexpr UINT SB_THUMBPOSITION = 4;
constexpr UINT SB_THUMBTRACK = 5;
constexpr UINT SB_TOP = 6;
constexpr UINT SB_BOTTOM = 7;
constexpr UINT SB_ENDSCROLL = 8;

// What a control asks of the dialog's keyboard handling.
constexpr UINT DLGC_WANTARROWS = 0x1;
constexpr UINT DLGC_WANTTAB = 0x2;
constexpr UINT DLGC_WANTALLKEYS = 0x4;
constexpr UINT DLGC_WANTCHARS = 0x80;

// Negative (high bit set) while the key is held; only the modifier keys
// VK_SHIFT, VK_CONTROL and VK_MENU are known, others read as released.
// While a control handles an input event the event's own modifiers count.
SHORT GetKeyState(int virtualKey);

// Set by a control around the handling of one input event (Qt modifier
// flags); ends with EndEventModifiers.
void BeginEventModifiers(int qtModifiers);
void EndEventModifiers();
