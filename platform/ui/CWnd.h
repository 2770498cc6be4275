// A thin handle on a widget, shaped like the original framework's window
// object so dialog code reads the same. The object does not own the widget
// unless it created it (dialogs, sheets); a destroyed widget leaves the
// object empty instead of dangling.
#pragma once

#include <QPointer>
#include <QWidget>

#include "CString.h"
#include "UiDefs.h"

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  QWidget* GetWidget() const { return m_widget; }
  HWND GetSafeHwnd() const;
  bool HasWindow() const { return m_widget != nullptr; }

  // Looks up the object attached to a widget or handle; null if none.
  static CWnd* FromWidget(const QWidget* widget);
  static CWnd* FromHandle(HWND hwnd);

  // Attaches this object to an existing widget; fails if it already has one
  // or the widget already has an object.
  BOOL Attach(QWidget* widget);
  QWidget* Detach();
  // Works on a widget without attaching to it (a temporary wrapper over a
  // control that may already have its own object); Detach lets go.
  void Borrow(QWidget* widget) { m_widget = widget; }
  // Attach, then PreSubclassWindow: how a control variable is bound.
  BOOL SubclassWidget(QWidget* widget);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  // The window this one belongs to: an explicit parent, else the nearest
  // ancestor widget with an attached object.
  CWnd* GetParent() const;
  int GetDlgCtrlID() const;

  BOOL EnableWindow(BOOL enable = TRUE);  // returns TRUE if it was disabled
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int showCommand);  // returns TRUE if it was visible
  BOOL IsWindowVisible() const;
  void SetWindowText(LPCSTR text);
  void GetWindowText(CString& text) const;
  int GetWindowText(LPSTR buffer, int maxCount) const;
  int GetWindowTextLength() const;
  CWnd* SetFocus();
  void SetRedraw(BOOL redraw = TRUE);
  void Invalidate(BOOL erase = TRUE);
  void UpdateWindow();
  virtual BOOL DestroyWindow();

  // The framework's box: a null caption shows the application's name.
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  // Commands from menus and controls: LOWORD id, HIWORD notification code.
  // Returns TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

 protected:
  // Called once the object is attached to its control.
  virtual void PreSubclassWindow() {}
  void SetParentWnd(CWnd* parent) { m_pParentWnd = parent; }

  QPointer<QWidget> m_widget;
  CWnd* m_pParentWnd = nullptr;
};

// The application's main window, the default owner of modal dialogs.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* window);
