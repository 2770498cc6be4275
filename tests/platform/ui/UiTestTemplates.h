// Test dialog templates and a page that records what the framework does to it.
#pragma once

#include <string>
#include <vector>

#include "UiFramework.h"

namespace uitest {

constexpr int kEdit = 100;
constexpr int kList = 101;
constexpr int kButton = 102;
constexpr int kCheck = 103;
constexpr int kCombo = 104;
constexpr int kNumber = 105;
constexpr int kMultiLine = 106;

// A page-sized template with one control of each common kind.
inline DialogTemplate PageTemplate(int id, const char* caption) {
  DialogTemplate t;
  t.id = id;
  t.caption = caption;
  t.cx = 200;
  t.cy = 100;
  t.controls = {
      {IDC_STATIC, ControlKind::Static, "&Name", WS_GROUP, 4, 4, 40, 8},
      {kEdit, ControlKind::Edit, "", ES_AUTOHSCROLL | WS_TABSTOP, 4, 14, 100, 14},
      {kList, ControlKind::ListBox, "", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 4, 30, 100, 40},
      {kButton, ControlKind::Button, "&Go", WS_TABSTOP, 140, 14, 50, 14},
      {kCheck, ControlKind::CheckBox, "&Check", WS_TABSTOP, 140, 30, 50, 10},
      {kCombo, ControlKind::ComboBox, "", CBS_DROPDOWNLIST | WS_TABSTOP, 140, 44, 50, 60},
      {kNumber, ControlKind::Edit, "", WS_TABSTOP, 140, 60, 50, 14},
      {kMultiLine, ControlKind::Edit, "", ES_MULTILINE | WS_VSCROLL | WS_TABSTOP, 4, 74, 100, 20},
  };
  return t;
}

class RecordingPage : public CPropertyPage {
 public:
  RecordingPage(std::string name, std::vector<std::string>& log, int templateId = 0)
      : CPropertyPage(PageTemplate(templateId, name.c_str())), m_name(std::move(name)), m_log(log) {}

  BOOL OnInitDialog() override {
    m_log.push_back(m_name + ":init");
    return CPropertyPage::OnInitDialog();
  }
  BOOL OnSetActive() override {
    const BOOL result = CPropertyPage::OnSetActive();
    m_log.push_back(m_name + ":active");
    return result;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    m_log.push_back(m_name + (pDX->m_bSaveAndValidate ? ":save" : ":load"));
    DDX_Control(pDX, kEdit, m_edit);
    DDX_Text(pDX, kEdit, m_text);
  }
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override {
    m_log.push_back(m_name + ":query");
    m_queryArgs = {wParam, lParam};
    return m_queryAnswer;
  }

  std::string m_name;
  std::vector<std::string>& m_log;
  CEdit m_edit;
  CString m_text;
  LRESULT m_queryAnswer = 0;
  std::pair<WPARAM, LPARAM> m_queryArgs{};
};

}  // namespace uitest
