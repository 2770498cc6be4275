#include "CDataExchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <cerrno>
#include <cstdlib>

#include "CButton.h"
#include "CComboBox.h"
#include "CDialog.h"
#include "CListBox.h"
#include "MessageBox.h"
#include "WidgetText.h"

QWidget* CDataExchange::PrepareCtrl(int id) {
  QWidget* control = m_pDlgWnd ? m_pDlgWnd->ControlById(id) : nullptr;
  if (!control) {
    qWarning("Data exchange: the dialog has no control %d", id);
    Fail();
  }
  m_lastControl = control;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_lastControl) m_lastControl->setFocus(Qt::OtherFocusReason);
  throw DataExchangeFailure{};
}

namespace {

bool ParseInteger(const std::string& text, long long& value) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(begin, &end, 10);
  if (end == begin || errno == ERANGE) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

void ExchangeNumber(CDataExchange* pDX, int id, long long& value, long long low, long long high, const char* prompt) {
  QWidget* control = pDX->PrepareCtrl(id);
  if (!pDX->m_bSaveAndValidate) {
    SetWidgetText(control, std::to_string(value));
    return;
  }
  long long parsed = 0;
  if (!ParseInteger(WidgetText(control), parsed) || parsed < low || parsed > high) {
    AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
  }
  value = parsed;
}

// Runs an exchange through a temporary wrapper over the control, whatever
// object the control may already have.
template <class Wrapper, class Action>
void WithWrapper(QWidget* control, Action action) {
  Wrapper temporary;
  temporary.Borrow(control);
  action(temporary);
  temporary.Detach();
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  QWidget* control = pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate)
    value = CString(WidgetText(control));
  else
    SetWidgetText(control, value.str());
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  QWidget* control = pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate)
    value = WidgetText(control);
  else
    SetWidgetText(control, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
  long long wide = value;
  ExchangeNumber(pDX, id, wide, INT32_MIN, INT32_MAX, "Please enter an integer.");
  value = static_cast<int>(wide);
}

void DDX_Text(CDataExchange* pDX, int id, UINT& value) {
  long long wide = value;
  ExchangeNumber(pDX, id, wide, 0, UINT32_MAX, "Please enter a positive integer.");
  value = static_cast<UINT>(wide);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.HasWindow()) return;  // bound on an earlier exchange
  pDX->PrepareCtrl(id);
  if (!pDX->m_pDlgWnd->BindControl(id, control)) pDX->Fail();
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& index) {
  auto* list = qobject_cast<QListWidget*>(pDX->PrepareCtrl(id));
  if (!list) pDX->Fail();
  WithWrapper<CListBox>(list, [&](CListBox& box) {
    if (pDX->m_bSaveAndValidate)
      index = box.GetCurSel();
    else
      box.SetCurSel(index);
  });
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
  auto* combo = qobject_cast<QComboBox*>(pDX->PrepareCtrl(id));
  if (!combo) pDX->Fail();
  WithWrapper<CComboBox>(combo, [&](CComboBox& box) {
    if (pDX->m_bSaveAndValidate)
      index = box.GetCurSel();
    else
      box.SetCurSel(index);
  });
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  auto* button = qobject_cast<QAbstractButton*>(pDX->PrepareCtrl(id));
  if (!button) pDX->Fail();
  const QSignalBlocker quiet(button);  // loading a value is no click
  WithWrapper<CButton>(button, [&](CButton& wrapper) {
    if (pDX->m_bSaveAndValidate)
      value = wrapper.GetCheck();
    else
      wrapper.SetCheck(value);
  });
}
