#include "CWnd.h"

#include <QApplication>
#include <cstring>

#include "CDialogBuilder.h"
#include "HwndMap.h"
#include "MessageBox.h"
#include "WidgetText.h"

namespace {

constexpr const char* kObjectProperty = "ravezovCWnd";

CWnd*& MainWnd() {
  static CWnd* main = nullptr;
  return main;
}

}  // namespace

CWnd::~CWnd() {
  if (MainWnd() == this) MainWnd() = nullptr;
  Detach();
}

HWND CWnd::GetSafeHwnd() const { return HwndFromWidget(m_widget); }

CWnd* CWnd::FromWidget(const QWidget* widget) {
  if (!widget) return nullptr;
  return static_cast<CWnd*>(widget->property(kObjectProperty).value<void*>());
}

CWnd* CWnd::FromHandle(HWND hwnd) { return FromWidget(WidgetFromHwnd(hwnd)); }

BOOL CWnd::Attach(QWidget* widget) {
  if (!widget || m_widget || FromWidget(widget)) return FALSE;
  m_widget = widget;
  widget->setProperty(kObjectProperty, QVariant::fromValue<void*>(this));
  return TRUE;
}

QWidget* CWnd::Detach() {
  QWidget* widget = m_widget;
  if (widget && FromWidget(widget) == this) widget->setProperty(kObjectProperty, QVariant());
  m_widget = nullptr;
  return widget;
}

BOOL CWnd::SubclassWidget(QWidget* widget) {
  if (!Attach(widget)) return FALSE;
  PreSubclassWindow();
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent || !parent->m_widget) return FALSE;
  for (QWidget* child : parent->m_widget->findChildren<QWidget*>())
    if (ControlIdOf(child) == static_cast<int>(id)) return SubclassWidget(child);
  return FALSE;
}

CWnd* CWnd::GetParent() const {
  if (m_pParentWnd) return m_pParentWnd;
  for (QWidget* up = m_widget ? m_widget->parentWidget() : nullptr; up; up = up->parentWidget())
    if (CWnd* found = FromWidget(up)) return found;
  return nullptr;
}

int CWnd::GetDlgCtrlID() const { return ControlIdOf(m_widget); }

BOOL CWnd::EnableWindow(BOOL enable) {
  if (!m_widget) return FALSE;
  const BOOL wasDisabled = !m_widget->isEnabled();
  m_widget->setEnabled(enable != FALSE);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_widget && m_widget->isEnabled(); }

BOOL CWnd::ShowWindow(int showCommand) {
  if (!m_widget) return FALSE;
  const BOOL wasVisible = m_widget->isVisible();
  switch (showCommand) {
    case SW_HIDE: m_widget->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE: m_widget->showMinimized(); break;
    case SW_SHOWMAXIMIZED: m_widget->showMaximized(); break;
    case SW_RESTORE:
    case SW_SHOWNORMAL: m_widget->showNormal(); break;
    default: m_widget->show(); break;
  }
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_widget && m_widget->isVisible(); }

void CWnd::SetWindowText(LPCSTR text) { SetWidgetText(m_widget, text ? text : ""); }

void CWnd::GetWindowText(CString& text) const { text = CString(WidgetText(m_widget)); }

int CWnd::GetWindowText(LPSTR buffer, int maxCount) const {
  if (!buffer || maxCount <= 0) return 0;
  const std::string text = WidgetText(m_widget);
  const size_t count = std::min(text.size(), static_cast<size_t>(maxCount - 1));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

int CWnd::GetWindowTextLength() const { return static_cast<int>(WidgetText(m_widget).size()); }

CWnd* CWnd::SetFocus() {
  CWnd* previous = FromWidget(QApplication::focusWidget());
  if (m_widget) m_widget->setFocus(Qt::OtherFocusReason);
  return previous;
}

void CWnd::SetRedraw(BOOL redraw) {
  if (!m_widget) return;
  m_widget->setUpdatesEnabled(redraw != FALSE);
  if (redraw) m_widget->update();
}

void CWnd::Invalidate(BOOL) {
  if (m_widget) m_widget->update();
}

void CWnd::UpdateWindow() {
  if (m_widget) m_widget->repaint();
}

BOOL CWnd::DestroyWindow() {
  QWidget* widget = Detach();
  if (!widget) return FALSE;
  delete widget;
  return TRUE;
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  return AfxMessageBox(GetSafeHwnd(), text, caption, type);
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }

CWnd* AfxGetMainWnd() { return MainWnd(); }

void AfxSetMainWnd(CWnd* window) { MainWnd() = window; }
