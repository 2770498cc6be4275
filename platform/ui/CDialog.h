// A dialog built from a template: modal with DoModal, or created as a child
// window (the pages of a sheet). Handlers are bound per control and
// notification instead of a message map.
#pragma once

#include <QPointer>
#include "DialogWindow.h"
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "CWnd.h"
#include "DialogTemplate.h"

class CDataExchange;

class CDialog : public CWnd {
 public:
  using Handler = std::function<void()>;

  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  explicit CDialog(DialogTemplate dialogTemplate, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog; returns the EndDialog result, or -1 when the template
  // cannot be found.
  virtual INT_PTR DoModal();
  // Creates the dialog as a modeless window; FALSE if it cannot.
  BOOL Create(CWnd* parent = nullptr);
  BOOL DestroyWindow() override;

  virtual BOOL OnInitDialog();  // default: UpdateData(FALSE)
  virtual void OnOK();          // default: UpdateData(TRUE), then EndDialog(IDOK)
  virtual void OnCancel();      // default: EndDialog(IDCANCEL)
  // May be called from another thread: the dialog then ends on its own.
  void EndDialog(int result);

  // TRUE reads the controls into the members, FALSE writes the members into
  // the controls. FALSE when a field failed validation.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* pDX);

  QWidget* ControlById(int id) const;
  // The control's object: the one bound by DDX_Control, else a plain
  // wrapper kept by the dialog. Null when there is no such control.
  CWnd* GetDlgItem(int id);
  void SetDlgItemText(int id, LPCSTR text);
  int GetDlgItemText(int id, CString& text) const;
  CString GetDlgItemText(int id) const;
  using CWnd::EnableWindow;
  void EnableWindow(int id, BOOL enable);
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;

  // Makes a push button the default one (the button Enter presses).
  void SetDefID(UINT id);
  DWORD GetDefID() const;  // 0 when there is none
  // Moves the focus to a control, or to the next one in tab order.
  void GotoDlgCtrl(CWnd* control);
  void GotoDlgCtrl(QWidget* control);
  void NextDlgCtrl();
  void PrevDlgCtrl();

  // Handler binding, in place of a message map. A later binding for the
  // same control and code replaces the earlier one.
  void OnNotify(int id, UINT code, Handler handler);
  void OnBnClicked(int id, Handler handler) { OnNotify(id, BN_CLICKED, std::move(handler)); }
  void OnLbnSelchange(int id, Handler handler) { OnNotify(id, LBN_SELCHANGE, std::move(handler)); }
  void OnLbnDblclk(int id, Handler handler) { OnNotify(id, LBN_DBLCLK, std::move(handler)); }
  void OnEnChange(int id, Handler handler) { OnNotify(id, EN_CHANGE, std::move(handler)); }
  void OnCbnSelchange(int id, Handler handler) { OnNotify(id, CBN_SELCHANGE, std::move(handler)); }
  template <class T>
  void OnNotify(int id, UINT code, void (T::*method)()) {
    T* self = static_cast<T*>(this);
    OnNotify(id, code, [self, method] { (self->*method)(); });
  }
  template <class T>
  void OnBnClicked(int id, void (T::*method)()) { OnNotify(id, BN_CLICKED, method); }
  template <class T>
  void OnLbnSelchange(int id, void (T::*method)()) { OnNotify(id, LBN_SELCHANGE, method); }
  template <class T>
  void OnLbnDblclk(int id, void (T::*method)()) { OnNotify(id, LBN_DBLCLK, method); }
  template <class T>
  void OnEnChange(int id, void (T::*method)()) { OnNotify(id, EN_CHANGE, method); }
  template <class T>
  void OnCbnSelchange(int id, void (T::*method)()) { OnNotify(id, CBN_SELCHANGE, method); }

  // Dispatches to the bound handler; IDOK and IDCANCEL clicks with no
  // handler go to OnOK and OnCancel.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  const DialogTemplate* GetTemplate() const;
  // Binds a control object to control `id` (what DDX_Control does), so
  // GetDlgItem returns it. FALSE when there is no such control or it is
  // bound to another object.
  BOOL BindControl(int id, CWnd& control);

 protected:
  // Builds the window and its controls as a child of `parent` (pages) and
  // runs OnInitDialog. FALSE when the template is missing.
  BOOL CreateChildWindow(QWidget* parent);
  // Forgets the window's controls once the window is gone (destroyed by
  // the dialog or with its parent).
  virtual void OnWindowGone();

 private:
  BOOL BuildWindow(QWidget* window);
  void WireNotifications(QWidget* control, int id);
  void Notify(int id, UINT code);
  void StepFocus(bool forward);

  UINT m_templateId = 0;
  std::optional<DialogTemplate> m_ownTemplate;
  std::map<int, QPointer<QWidget>> m_controls;
  std::map<int, CWnd*> m_boundControls;
  std::map<int, std::unique_ptr<CWnd>> m_plainControls;
  std::map<std::pair<int, UINT>, Handler> m_handlers;
  QPointer<DialogWindow> m_modalWindow;
  bool m_ended = false;
  int m_result = IDCANCEL;
};
