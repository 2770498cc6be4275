#include "CPropertySheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "CDialogBuilder.h"
#include "DialogWindow.h"

namespace {

QSize PageSize(CPropertyPage* page) {
  const DialogTemplate* source = page->GetTemplate();
  return source ? CDialogBuilder(*source).WindowSize() : QSize();
}

QFont SheetFont(const std::vector<CPropertyPage*>& pages) {
  for (CPropertyPage* page : pages)
    if (const DialogTemplate* source = page->GetTemplate()) return CDialogBuilder(*source).Font();
  return CDialogBuilder(DialogTemplate{}).Font();
}

}  // namespace

CPropertySheet::CPropertySheet(LPCSTR caption, CWnd* parent, UINT selectPage) : m_title(caption ? caption : "") {
  SetParentWnd(parent);
  m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet() {
  CPropertySheet::DestroyWindow();
  // Pages may outlive the sheet; they must not reach back into it.
  for (CPropertyPage* page : m_pages) {
    page->m_sheet = nullptr;
    page->SetParentWnd(nullptr);
  }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (!page || GetPageIndex(page) >= 0) return;
  m_pages.push_back(page);
  page->m_sheet = this;
  page->SetParentWnd(this);
  if (m_window) AddTab(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  const auto found = std::find(m_pages.begin(), m_pages.end(), page);
  return found == m_pages.end() ? -1 : static_cast<int>(found - m_pages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

int CPropertySheet::GetActiveIndex() const { return m_window ? m_activeIndex : static_cast<int>(m_psh.nStartPage); }

BOOL CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return FALSE;
  if (!m_window) {
    m_psh.nStartPage = static_cast<UINT>(index);
    return TRUE;
  }
  OnTabChanged(index);
  return m_activeIndex == index;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

void CPropertySheet::SetTitle(LPCSTR text, UINT style) {
  m_title = text ? text : "";
  m_titleStyle = style;
  ApplyTitle();
}

void CPropertySheet::ApplyTitle() {
  if (!m_window) return;
  const std::string prefix = (m_titleStyle & PSH_PROPTITLE) ? "Properties for " : "";
  m_window->setWindowTitle(QString::fromStdString(prefix + m_title));
}

INT_PTR CPropertySheet::DoModal() {
  QWidget* owner = m_pParentWnd && m_pParentWnd->GetWidget() ? m_pParentWnd->GetWidget()->window() : nullptr;
  if (HasWindow() || !CreateSheetWindow(owner, true)) return -1;
  if (!m_ended && m_window) m_window->exec();
  const int result = m_result;
  DestroyWindow();
  return result;
}

BOOL CPropertySheet::Create(CWnd* parent) {
  if (parent) SetParentWnd(parent);
  QWidget* owner = m_pParentWnd && m_pParentWnd->GetWidget() ? m_pParentWnd->GetWidget()->window() : nullptr;
  if (HasWindow() || !CreateSheetWindow(owner, false)) return FALSE;
  if (!m_ended) m_window->show();
  return TRUE;
}

BOOL CPropertySheet::DestroyWindow() {
  QWidget* window = Detach();
  if (!window) return FALSE;
  delete window;  // the pages' windows go with it
  for (CPropertyPage* page : m_pages) page->OnWindowGone();
  m_buttonObjects.clear();
  m_buttons.clear();
  m_containers.clear();
  m_activeIndex = -1;
  return TRUE;
}

void CPropertySheet::ForgetPage(CPropertyPage* page) {
  const int index = GetPageIndex(page);
  if (index < 0) return;
  m_pages.erase(m_pages.begin() + index);
  if (!m_window) return;
  if (QWidget* container = m_containers[static_cast<size_t>(index)]) delete container;
  m_containers.erase(m_containers.begin() + index);
  m_tabBar->RemoveTab(index);
  if (m_activeIndex == index) {
    m_activeIndex = -1;
    if (!m_pages.empty()) ActivatePage(std::min(index, GetPageCount() - 1));
  } else if (m_activeIndex > index) {
    --m_activeIndex;
  }
  m_tabBar->SetCurrentIndex(m_activeIndex);
}

void CPropertySheet::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  if (m_window) m_window->Finish(result);
}

BOOL CPropertySheet::CreateSheetWindow(QWidget* owner, bool modal) {
  m_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT;
  m_exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  OnPreCreate(m_style, m_exStyle);
  m_ended = false;
  m_result = IDCANCEL;
  m_window = new DialogWindow(owner, [this] { PressOk(); }, [this] { PressCancel(); });
  Attach(m_window);
  m_window->setModal(modal);
  m_window->setFont(SheetFont(m_pages));
  ApplyWindowStyle();
  ApplyTitle();
  if ((m_psh.dwFlags & PSH_USEHICON) && !m_psh.icon.isNull()) m_window->setWindowIcon(m_psh.icon);

  auto* layout = new QVBoxLayout(m_window);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  m_tabBar = new MultiRowTabBar(m_window);
  m_tabBar->setContextMenuPolicy(Qt::CustomContextMenu);
  m_tabBar->SetChooser([this](int index) { OnTabChanged(index); });
  m_stack = new QStackedWidget(m_window);
  m_stack->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  auto* row = new QWidget(m_window);
  // The tabs sit on the page's frame; only the buttons keep their distance.
  const int gap = layout->spacing();
  layout->setSpacing(0);
  layout->addWidget(m_tabBar);
  layout->addWidget(m_stack);
  layout->addSpacing(gap);
  layout->addWidget(row);
  BuildButtons(row);
  for (CPropertyPage* page : m_pages) AddTab(page);

  QObject::connect(m_tabBar, &QWidget::customContextMenuRequested, m_window,
                   [this](const QPoint& at) { ShowSystemMenu(m_tabBar->mapToGlobal(at)); });
  auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), m_window);
  QObject::connect(altSpace, &QShortcut::activated, m_window,
                   [this] { ShowSystemMenu(m_window->mapToGlobal(QPoint(0, 0))); });
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in any tabbed sheet.
  for (const bool forward : {true, false}) {
    auto* turn = new QShortcut(forward ? QKeySequence(Qt::CTRL | Qt::Key_Tab) : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), m_window);
    QObject::connect(turn, &QShortcut::activated, m_window, [this, forward] {
      if (GetPageCount() > 0) SetActivePage((m_activeIndex + (forward ? 1 : GetPageCount() - 1)) % GetPageCount());
    });
  }
  ResetSystemMenu();

  if (!m_pages.empty()) {
    const int start = std::min(static_cast<int>(m_psh.nStartPage), GetPageCount() - 1);
    ActivatePage(start);
  }
  OnInitialized();
  OnInitDialog();
  return TRUE;
}

void CPropertySheet::ApplyWindowStyle() {
  Qt::WindowFlags flags = (m_exStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (m_style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint;
  if (m_style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (m_style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  m_window->setWindowFlags(flags);
}

void CPropertySheet::BuildButtons(QWidget* row) {
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  const std::pair<int, const char*> buttons[] = {
      {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_APPLY_NOW, "&Apply"}, {IDHELP, "Help"}};
  for (const auto& [buttonId, text] : buttons) {
    int id = buttonId;  // a plain variable: lambdas may capture it
    auto* button = new QPushButton(QString::fromUtf8(text), row);
    button->setProperty("dlgCtrlId", id);
    button->setAutoDefault(false);
    layout->addWidget(button);
    m_buttons[id] = button;
    QObject::connect(button, &QPushButton::clicked, m_window, [this, id] { PressButton(id); });
  }
  DialogWindow::SetDefaultButton(m_buttons[IDOK], true);
  m_buttons[ID_APPLY_NOW]->setEnabled(false);  // until a page reports a change
  if (m_psh.dwFlags & PSH_NOAPPLYNOW) HideButton(ID_APPLY_NOW);
  if (!HasHelp()) HideButton(IDHELP);
}

bool CPropertySheet::HasHelp() const {
  if (m_psh.dwFlags & PSH_HASHELP) return true;
  return std::any_of(m_pages.begin(), m_pages.end(), [](CPropertyPage* p) { return p->m_psp.dwFlags & PSP_HASHELP; });
}

void CPropertySheet::AddTab(CPropertyPage* page) {
  auto* container = new QWidget(m_stack);
  m_containers.push_back(container);
  m_stack->addWidget(container);
  QSize size = container->minimumSize();
  for (CPropertyPage* each : m_pages) size = size.expandedTo(PageSize(each));
  for (const QPointer<QWidget>& each : m_containers)
    if (each) each->setFixedSize(size);
  m_tabBar->AddTab(QString::fromStdString(page->GetTitle().str()));
  // The tabs wrap within the page's frame rather than widen the sheet.
  m_tabBar->SetRowWidth(size.width() + 2 * m_stack->frameWidth());
}

void CPropertySheet::OnTabChanged(int index) {
  if (index == m_activeIndex) return;
  CPropertyPage* leaving = GetPage(m_activeIndex);
  if (leaving && leaving->HasWindow() && !leaving->OnKillActive()) return;
  ActivatePage(index);
}

void CPropertySheet::ActivatePage(int index) {
  CPropertyPage* page = GetPage(index);
  if (!page) return;
  QWidget* container = m_containers[static_cast<size_t>(index)];
  if (!page->HasWindow() && page->CreateChildWindow(container)) page->GetWidget()->move(0, 0);
  m_stack->setCurrentWidget(container);
  m_activeIndex = index;
  m_tabBar->SetCurrentIndex(index);
  if (page->HasWindow()) {
    page->GetWidget()->show();
    page->OnSetActive();
  }
  ShowDefaultButtonOf(page);
}

// Qt draws one default button per window: the page's own while it is
// shown, otherwise the sheet's.
void CPropertySheet::ShowDefaultButtonOf(CPropertyPage* page) {
  if (page->HasWindow())
    for (QPushButton* button : page->GetWidget()->findChildren<QPushButton*>())
      if (DialogWindow::IsDefaultButton(button)) return button->setDefault(true);
  for (const auto& [id, button] : m_buttons)
    if (button && DialogWindow::IsDefaultButton(button)) return button->setDefault(true);
}

void CPropertySheet::PressButton(int id) {
  switch (id) {
    case IDOK: return PressOk();
    case IDCANCEL: return PressCancel();
    case ID_APPLY_NOW: return PressApply();
    default: return;
  }
}

// The active page validates first; then every page that was shown applies.
bool CPropertySheet::ApplyPages() {
  CPropertyPage* active = GetActivePage();
  if (active && active->HasWindow() && !active->OnKillActive()) return false;
  for (CPropertyPage* page : m_pages)
    if (page->HasWindow() && !page->OnApply()) return false;
  return true;
}

void CPropertySheet::PressOk() {
  if (ApplyPages()) EndDialog(IDOK);
}

void CPropertySheet::PressCancel() {
  CPropertyPage* active = GetActivePage();
  if (active && active->HasWindow() && !active->OnQueryCancel()) return;
  for (CPropertyPage* page : m_pages)
    if (page->HasWindow()) page->OnReset();
  EndDialog(IDCANCEL);
}

void CPropertySheet::PressApply() {
  if (!ApplyPages()) return;
  if (QPushButton* apply = Button(ID_APPLY_NOW)) apply->setEnabled(false);
}

void CPropertySheet::PageModified(CPropertyPage*, bool changed) {
  if (QPushButton* apply = Button(ID_APPLY_NOW); apply && changed) apply->setEnabled(true);
}

LRESULT CPropertySheet::QuerySiblings(WPARAM wParam, LPARAM lParam) {
  for (CPropertyPage* page : m_pages) {
    if (!page->HasWindow()) continue;
    if (const LRESULT answer = page->OnQuerySiblings(wParam, lParam)) return answer;
  }
  return 0;
}

void CPropertySheet::OnPreCreate(DWORD&, DWORD&) {}

void CPropertySheet::OnInitialized() {}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

void CPropertySheet::OnSysCommand(UINT id, LPARAM) {
  if (!m_window) return;
  switch (id & 0xFFF0) {
    case SC_MINIMIZE: m_window->showMinimized(); break;
    case SC_MAXIMIZE: m_window->showMaximized(); break;
    case SC_RESTORE: m_window->showNormal(); break;
    case SC_CLOSE: m_window->close(); break;
    default: break;
  }
}

void CPropertySheet::ResetSystemMenu() {
  m_systemMenu.DestroyMenu();
  m_systemMenu.AppendMenu(MF_STRING | ((m_style & WS_MINIMIZEBOX) ? MF_ENABLED : MF_GRAYED), SC_MINIMIZE,
                          "Mi&nimize");
  m_systemMenu.AppendMenu(MF_SEPARATOR);
  m_systemMenu.AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
}

CMenu* CPropertySheet::GetSystemMenu(BOOL revert) {
  if (!m_window) return nullptr;
  if (revert) {
    ResetSystemMenu();
    return nullptr;
  }
  return &m_systemMenu;
}

void CPropertySheet::ShowSystemMenu(QPoint globalPosition) {
  if (!m_window) return;
  const UINT id = static_cast<UINT>(
      m_systemMenu.TrackPopupMenu(TPM_RETURNCMD, globalPosition.x(), globalPosition.y(), this));
  if (id) OnSysCommand(id, MAKELPARAM(globalPosition.x(), globalPosition.y()));
}

QPushButton* CPropertySheet::Button(int id) const {
  const auto found = m_buttons.find(id);
  return found == m_buttons.end() ? nullptr : found->second.data();
}

CWnd* CPropertySheet::GetDlgItem(int id) {
  QPushButton* button = Button(id);
  if (!button) return nullptr;
  if (CWnd* existing = CWnd::FromWidget(button)) return existing;
  auto object = std::make_unique<CWnd>();
  object->Attach(button);
  return (m_buttonObjects[id] = std::move(object)).get();
}

void CPropertySheet::HideButton(int id) {
  if (QPushButton* button = Button(id)) button->hide();
}

void CPropertySheet::SetButtonText(int id, LPCSTR text) {
  if (QPushButton* button = Button(id)) button->setText(QString::fromUtf8(text ? text : ""));
}

// The sheet's own buttons; an id that is none of them is the active page's.
void CPropertySheet::SetDefID(UINT id) {
  if (!m_window) return;
  QPushButton* target = Button(static_cast<int>(id));
  if (!target) {
    if (GetActivePage()) GetActivePage()->SetDefID(id);
    return;
  }
  for (const auto& [buttonId, button] : m_buttons)
    if (button) DialogWindow::SetDefaultButton(button, button == target);
}

DWORD CPropertySheet::GetDefID() const {
  if (!m_window) return 0;
  for (const auto& [id, button] : m_buttons)
    if (button && DialogWindow::IsDefaultButton(button)) return static_cast<DWORD>(id);
  return 0;
}
