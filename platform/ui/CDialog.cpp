#include "CDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

#include "CButton.h"
#include "CDataExchange.h"
#include "CDialogBuilder.h"
#include "DialogWindow.h"
#include "HwndMap.h"
#include "WidgetText.h"

namespace {

QWidget* DefaultOwner(CWnd* parent) {
  if (parent && parent->GetWidget()) return parent->GetWidget()->window();
  if (CWnd* main = AfxGetMainWnd(); main && main->GetWidget()) return main->GetWidget()->window();
  return QApplication::activeWindow();
}

bool CanTakeTabFocus(QWidget* widget, QWidget* window) {
  return widget != window && window->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
         widget->isEnabled() && widget->isVisibleTo(window);
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId) { SetParentWnd(parent); }

CDialog::CDialog(DialogTemplate dialogTemplate, CWnd* parent)
    : m_templateId(static_cast<UINT>(dialogTemplate.id)), m_ownTemplate(std::move(dialogTemplate)) {
  SetParentWnd(parent);
}

CDialog::~CDialog() { CDialog::DestroyWindow(); }

const DialogTemplate* CDialog::GetTemplate() const {
  return m_ownTemplate ? &*m_ownTemplate : FindDialogTemplate(static_cast<int>(m_templateId));
}

BOOL CDialog::BuildWindow(QWidget* window) {
  const DialogTemplate* source = GetTemplate();
  if (!source || !Attach(window)) return FALSE;
  window->setWindowTitle(QString::fromStdString(source->caption));
  for (const BuiltControl& built : CDialogBuilder(*source).Build(window)) {
    if (built.source->id == IDC_STATIC) continue;
    m_controls[built.source->id] = built.widget;
    WireNotifications(built.widget, built.source->id);
  }
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  if (HasWindow() || !GetTemplate()) return -1;
  QPointer<DialogWindow> window = new DialogWindow(
      DefaultOwner(m_pParentWnd), [this] { OnOK(); }, [this] { OnCancel(); });
  window->setModal(true);
  m_modalWindow = window;
  m_ended = false;
  m_result = IDCANCEL;
  BuildWindow(window);
  OnInitDialog();
  if (!m_ended && window) window->exec();
  const int result = m_result;
  DestroyWindow();
  return result;
}

BOOL CDialog::Create(CWnd* parent) {
  if (parent) SetParentWnd(parent);
  if (HasWindow() || !GetTemplate()) return FALSE;
  auto* window = new DialogWindow(
      m_pParentWnd && m_pParentWnd->GetWidget() ? m_pParentWnd->GetWidget()->window() : nullptr,
      [this] { OnOK(); }, [this] { OnCancel(); });
  m_modalWindow = window;
  m_ended = false;
  BuildWindow(window);
  OnInitDialog();
  if (!m_ended) window->show();
  return TRUE;
}

BOOL CDialog::CreateChildWindow(QWidget* parent) {
  if (HasWindow() || !GetTemplate()) return FALSE;
  auto* window = new QWidget(parent);
  // Its default button, from the template or SetDefID, serves only while
  // the focus is inside.
  DialogWindow::MarkOwnDefaultButtonArea(window);
  BuildWindow(window);
  OnInitDialog();
  return TRUE;
}

BOOL CDialog::DestroyWindow() {
  QWidget* window = m_widget;
  OnWindowGone();
  if (!window) return FALSE;
  delete window;
  return TRUE;
}

void CDialog::OnWindowGone() {
  // Bound control objects are not touched: they may already be destroyed
  // (members of a derived dialog), and those still alive let go of their
  // controls by themselves when the widgets are deleted.
  m_boundControls.clear();
  m_plainControls.clear();
  m_controls.clear();
  m_modalWindow = nullptr;
  Detach();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
    // A worker (the rowset loader) may end the dialog; the window is only
    // touched on its own thread, and not at all once it is gone.
    if (QPointer<DialogWindow> window = m_modalWindow)
      QMetaObject::invokeMethod(window, [this, result] { EndDialog(result); }, Qt::QueuedConnection);
    return;
  }
  m_result = result;
  m_ended = true;
  if (m_modalWindow) m_modalWindow->Finish(result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  if (!HasWindow()) return FALSE;
  CDataExchange exchange(this, saveAndValidate);
  try {
    DoDataExchange(&exchange);
  } catch (const DataExchangeFailure&) {
    return FALSE;
  }
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

QWidget* CDialog::ControlById(int id) const {
  const auto found = m_controls.find(id);
  return found == m_controls.end() ? nullptr : found->second.data();
}

BOOL CDialog::BindControl(int id, CWnd& control) {
  QWidget* widget = ControlById(id);
  if (!widget) return FALSE;
  if (control.GetWidget() == widget) return TRUE;
  if (const auto plain = m_plainControls.find(id); plain != m_plainControls.end()) {
    plain->second->Detach();
    m_plainControls.erase(plain);
  }
  if (!control.SubclassWidget(widget)) return FALSE;
  m_boundControls[id] = &control;
  return TRUE;
}

CWnd* CDialog::GetDlgItem(int id) {
  QWidget* widget = ControlById(id);
  if (!widget) return nullptr;
  if (CWnd* existing = CWnd::FromWidget(widget)) return existing;
  auto plain = std::make_unique<CWnd>();
  plain->Attach(widget);
  return (m_plainControls[id] = std::move(plain)).get();
}

void CDialog::SetDlgItemText(int id, LPCSTR text) { SetWidgetText(ControlById(id), text ? text : ""); }

int CDialog::GetDlgItemText(int id, CString& text) const {
  text = CString(WidgetText(ControlById(id)));
  return text.GetLength();
}

CString CDialog::GetDlgItemText(int id) const { return CString(WidgetText(ControlById(id))); }

void CDialog::EnableWindow(int id, BOOL enable) {
  if (QWidget* control = ControlById(id)) control->setEnabled(enable != FALSE);
}

void CDialog::CheckDlgButton(int id, UINT check) {
  CButton button;
  button.Borrow(ControlById(id));
  button.SetCheck(static_cast<int>(check));
  button.Detach();
}

UINT CDialog::IsDlgButtonChecked(int id) const {
  CButton button;
  button.Borrow(ControlById(id));
  const int check = button.GetCheck();
  button.Detach();
  return static_cast<UINT>(check);
}

// A child dialog (a property page) changes only its own buttons, so the
// window's default stays in place for the other pages.
void CDialog::SetDefID(UINT id) {
  if (!HasWindow()) return;
  auto* target = qobject_cast<QPushButton*>(ControlById(static_cast<int>(id)));
  for (QPushButton* button : m_widget->findChildren<QPushButton*>()) DialogWindow::SetDefaultButton(button, button == target);
}

DWORD CDialog::GetDefID() const {
  for (const auto& [id, control] : m_controls)
    if (auto* button = qobject_cast<QPushButton*>(control.data()); button && DialogWindow::IsDefaultButton(button))
      return static_cast<DWORD>(id);
  return 0;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) GotoDlgCtrl(control->GetWidget());
}

void CDialog::GotoDlgCtrl(QWidget* control) {
  if (control && HasWindow() && m_widget->isAncestorOf(control)) control->setFocus(Qt::TabFocusReason);
}

void CDialog::StepFocus(bool forward) {
  if (!HasWindow()) return;
  QWidget* start = m_widget->window()->focusWidget();  // kept even while the window is inactive
  if (!start || !m_widget->isAncestorOf(start)) start = m_widget;
  QWidget* candidate = start;
  do {
    candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    if (CanTakeTabFocus(candidate, m_widget)) return GotoDlgCtrl(candidate);
  } while (candidate != start);
}

void CDialog::NextDlgCtrl() { StepFocus(true); }

void CDialog::PrevDlgCtrl() { StepFocus(false); }

void CDialog::OnNotify(int id, UINT code, Handler handler) { m_handlers[{id, code}] = std::move(handler); }

void CDialog::Notify(int id, UINT code) {
  OnCommand(MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(HwndFromWidget(ControlById(id))));
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (const auto found = m_handlers.find({id, code}); found != m_handlers.end()) {
    const Handler handler = found->second;  // the handler may rebind itself
    handler();
    return TRUE;
  }
  if (code != BN_CLICKED) return FALSE;
  if (id == IDOK) OnOK();
  else if (id == IDCANCEL) OnCancel();
  else return FALSE;
  return TRUE;
}

void CDialog::WireNotifications(QWidget* control, int id) {
  QWidget* window = m_widget;
  auto send = [this, id](UINT code) { return [this, id, code] { Notify(id, code); }; };
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QObject::connect(button, &QAbstractButton::clicked, window, send(BN_CLICKED));
  } else if (auto* list = qobject_cast<QListWidget*>(control)) {
    if (!(ControlStyleOf(list) & LBS_NOTIFY)) return;  // list boxes notify only when asked to
    QObject::connect(list, &QListWidget::itemSelectionChanged, window, send(LBN_SELCHANGE));
    QObject::connect(list, &QListWidget::itemDoubleClicked, window, send(LBN_DBLCLK));
  } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
    QObject::connect(line, &QLineEdit::textChanged, window, send(EN_CHANGE));
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(control)) {
    QObject::connect(multi, &QPlainTextEdit::textChanged, window, send(EN_CHANGE));
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    QObject::connect(combo, &QComboBox::activated, window, send(CBN_SELCHANGE));
    if (combo->isEditable()) QObject::connect(combo, &QComboBox::editTextChanged, window, send(CBN_EDITCHANGE));
  }
}
