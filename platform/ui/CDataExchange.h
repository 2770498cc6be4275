// Data exchange between a dialog's members and its controls, and the DDX_
// routines a dialog's DoDataExchange calls.
#pragma once

#include <string>

#include "CString.h"
#include "UiDefs.h"

class CDialog;
class CWnd;
class QWidget;

// Thrown by Fail, caught by UpdateData; never leaves it.
struct DataExchangeFailure {};

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

  // The control to exchange with; fails the exchange when it is missing.
  QWidget* PrepareCtrl(int id);
  // Ends the exchange: UpdateData returns FALSE and the focus goes to the
  // last control prepared.
  [[noreturn]] void Fail();

  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
  QWidget* m_lastControl = nullptr;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_LBIndex(CDataExchange* pDX, int id, int& index);
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
void DDX_Check(CDataExchange* pDX, int id, int& value);
