#include "CListCtrl.h"

#include <QHeaderView>
#include <QThread>
#include <algorithm>
#include <cstring>

#include "CDialogBuilder.h"

namespace {

// Dialog templates' list views become report lists once this library is
// part of the program.
const bool kFactoryRegistered = [] {
  CListCtrl::RegisterListViewFactory();
  return true;
}();

}  // namespace

void CListCtrl::RegisterListViewFactory() {
  CDialogBuilder::SetControlFactory(ControlKind::ListView, [](const ControlTemplate& control, QWidget* parent) {
    return static_cast<QWidget*>(new ReportListView(parent, control.style));
  });
}

CListCtrl::CListCtrl() { (void)kFactoryRegistered; }

CListCtrl::~CListCtrl() {
  m_header.Detach();
  if (m_ownsWidget) DestroyWindow();
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return Create(style, rect, parent ? parent->GetWidget() : nullptr, id);
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, QWidget* parent, UINT id) {
  if (HasWindow()) return FALSE;
  auto* view = new ReportListView(parent, style);
  view->setProperty("dlgCtrlId", static_cast<int>(id));
  view->setProperty("dlgCtrlStyle", static_cast<uint>(style));
  view->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  if (style & WS_VISIBLE) view->show();
  m_ownsWidget = parent == nullptr;
  return SubclassWidget(view);
}

ReportListView* CListCtrl::View() const { return dynamic_cast<ReportListView*>(m_widget.data()); }

DWORD CListCtrl::GetStyle() const {
  const ReportListView* view = View();
  if (!view) return 0;
  DWORD style = view->Style() | WS_CHILD;
  if (view->isVisible()) style |= WS_VISIBLE;
  if (!view->isEnabled()) style |= WS_DISABLED;
  return style;
}

BOOL CListCtrl::ModifyStyle(DWORD remove, DWORD add) {
  if (!View()) return FALSE;
  View()->SetStyle((View()->Style() & ~remove) | add);
  return TRUE;
}

DWORD CListCtrl::GetExtendedStyle() const { return View() ? View()->ExtendedStyle() : 0; }

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) { return View() ? View()->SetExtendedStyle(exStyle) : 0; }

CHeaderCtrl* CListCtrl::GetHeaderCtrl() {
  if (!View()) return nullptr;
  if (m_header.GetWidget() != View()->Header()) {
    m_header.Detach();
    m_header.Attach(View()->Header());
  }
  return &m_header;
}

// ---- columns ---------------------------------------------------------------

int CListCtrl::InsertColumn(int column, const LVCOLUMN* info) {
  return View() && info ? View()->InsertColumn(column, *info) : -1;
}

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int subItem) {
  LVCOLUMN info;
  info.mask = LVCF_TEXT | LVCF_FMT;
  info.pszText = const_cast<LPSTR>(heading ? heading : "");
  info.fmt = format;
  if (width != -1) {
    info.mask |= LVCF_WIDTH;
    info.cx = width;
  }
  if (subItem != -1) {
    info.mask |= LVCF_SUBITEM;
    info.iSubItem = subItem;
  }
  return InsertColumn(column, &info);
}

BOOL CListCtrl::DeleteColumn(int column) { return View() ? View()->DeleteColumn(column) : FALSE; }

BOOL CListCtrl::GetColumn(int column, LVCOLUMN* info) const { return View() ? View()->GetColumn(column, info) : FALSE; }

BOOL CListCtrl::SetColumn(int column, const LVCOLUMN* info) {
  return View() && info ? View()->SetColumn(column, *info) : FALSE;
}

int CListCtrl::GetColumnWidth(int column) const { return View() ? View()->ColumnWidth(column) : 0; }

BOOL CListCtrl::SetColumnWidth(int column, int width) { return View() ? View()->SetColumnWidth(column, width) : FALSE; }

// ---- items -----------------------------------------------------------------

int CListCtrl::GetItemCount() const { return View() ? View()->ItemCount() : 0; }

int CListCtrl::InsertItem(const LVITEM* item) { return View() && item ? View()->InsertItem(*item) : -1; }

int CListCtrl::InsertItem(int item, LPCSTR text) {
  LVITEM info;
  info.mask = LVIF_TEXT;
  info.iItem = item;
  info.pszText = const_cast<LPSTR>(text);
  return InsertItem(&info);
}

int CListCtrl::InsertItems(int item, int rowCount, int columns, const char* const* texts) {
  return View() ? View()->InsertItems(item, rowCount, columns, texts) : -1;
}

int CListCtrl::InsertItems(int item, const std::vector<std::vector<std::string>>& rows) {
  size_t columns = 0;
  for (const auto& row : rows) columns = std::max(columns, row.size());
  std::vector<const char*> cells(rows.size() * columns, nullptr);
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) cells[r * columns + c] = rows[r][c].c_str();
  return InsertItems(item, static_cast<int>(rows.size()), static_cast<int>(columns), cells.data());
}

BOOL CListCtrl::SetItem(const LVITEM* item) { return View() && item ? View()->SetItem(*item) : FALSE; }

BOOL CListCtrl::GetItem(LVITEM* item) const { return View() && item ? View()->GetItem(item) : FALSE; }

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
  return View() ? View()->SetItemText(item, subItem, text ? text : "") : FALSE;
}

int CListCtrl::GetItemText(int item, int subItem, LPSTR buffer, int length) const {
  if (!buffer || length <= 0) return 0;
  buffer[0] = '\0';
  LVITEM read;
  read.mask = LVIF_TEXT;
  read.iItem = item;
  read.iSubItem = subItem;
  read.pszText = buffer;
  read.cchTextMax = length;
  if (!View() || !View()->GetItem(&read)) return 0;
  return static_cast<int>(std::strlen(buffer));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  return View() ? CString(View()->ItemText(item, subItem)) : CString();
}

BOOL CListCtrl::DeleteItem(int item) { return View() ? View()->DeleteItem(item) : FALSE; }

BOOL CListCtrl::DeleteAllItems() { return View() ? View()->DeleteAllItems() : FALSE; }

int CListCtrl::FindItem(const LVFINDINFO* find, int start) const {
  return View() && find ? View()->FindItem(*find, start) : -1;
}

// ---- states ----------------------------------------------------------------

UINT CListCtrl::GetItemState(int item, UINT mask) const { return View() ? View()->ItemState(item, mask) : 0; }

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  return View() ? View()->SetItemState(item, state, mask) : FALSE;
}

BOOL CListCtrl::SetItemState(int item, const LVITEM* state) {
  return state ? SetItemState(item, state->state, state->stateMask) : FALSE;
}

int CListCtrl::GetNextItem(int start, UINT flags) const { return View() ? View()->NextItem(start, flags) : -1; }

UINT CListCtrl::GetSelectedCount() const { return View() ? static_cast<UINT>(View()->SelectedCount()) : 0; }

int CListCtrl::GetSelectionMark() const { return View() ? View()->SelectionMark() : -1; }

int CListCtrl::SetSelectionMark(int item) { return View() ? View()->SetSelectionMark(item) : -1; }

// ---- geometry --------------------------------------------------------------

void CListCtrl::GetClientRect(LPRECT rect) const {
  if (rect) *rect = View() ? View()->ClientRect() : RECT{};
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const {
  return View() ? View()->ItemRect(item, static_cast<int>(code), rect) : FALSE;
}

BOOL CListCtrl::GetSubItemRect(int item, int subItem, int code, RECT& rect) const {
  return View() ? View()->SubItemRect(item, subItem, code, &rect) : FALSE;
}

int CListCtrl::GetTopIndex() const { return View() ? View()->TopIndex() : 0; }

int CListCtrl::GetCountPerPage() const { return View() ? View()->CountPerPage() : 0; }

BOOL CListCtrl::EnsureVisible(int item, BOOL partialOk) { return View() ? View()->EnsureVisible(item, partialOk) : FALSE; }

BOOL CListCtrl::Scroll(CSize size) { return View() ? View()->Scroll(size.cx, size.cy) : FALSE; }

int CListCtrl::GetScrollPos(int bar) const { return View() ? View()->ScrollPos(bar) : 0; }

int CListCtrl::GetStringWidth(LPCSTR text) const { return View() && text ? View()->StringWidth(text) : 0; }

int CListCtrl::HitTest(CPoint point, UINT* flags) const {
  LVHITTESTINFO info;
  info.pt = point;
  const int item = HitTest(&info);
  if (flags) *flags = info.flags;
  return item;
}

int CListCtrl::HitTest(LVHITTESTINFO* info) const { return View() ? View()->HitTest(info) : -1; }

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const { return View() ? View()->SubItemHitTest(info) : -1; }

// ---- painting --------------------------------------------------------------

void CListCtrl::SetRedraw(BOOL redraw) {
  CWnd::SetRedraw(redraw);
  if (redraw) FlushPendingRepaint();
}

BOOL CListCtrl::RedrawItems(int first, int last) {
  if (!View()) return FALSE;
  View()->RedrawItems(first, last);
  return TRUE;
}

void CListCtrl::Invalidate(BOOL) {
  if (View()) View()->ScheduleRepaint();
}

void CListCtrl::UpdateWindow() {
  if (!View()) return;
  View()->FlushPendingRepaint();
  View()->viewport()->repaint();
}

void CListCtrl::FlushPendingRepaint() {
  if (View()) View()->FlushPendingRepaint();
}

// ---- messages --------------------------------------------------------------

BOOL CListCtrl::CallOnListThread(const std::function<void()>& call) {
  ReportListView* view = View();
  return view && view->Caller().Call(call);
}

LRESULT CListCtrl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_widget && QThread::currentThread() != m_widget->thread()) {
    LRESULT result = 0;
    CallOnListThread([&] { result = SendMessage(message, wParam, lParam); });
    return result;
  }
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  auto* item = reinterpret_cast<LVITEM*>(lParam);
  auto* column = reinterpret_cast<LVCOLUMN*>(lParam);
  switch (message) {
    case WM_SETREDRAW: SetRedraw(wParam != 0); return 0;
    case LVM_GETITEMCOUNT: return GetItemCount();
    case LVM_GETITEMA: return GetItem(item);
    case LVM_SETITEMA: return SetItem(item);
    case LVM_INSERTITEMA: return InsertItem(item);
    case LVM_DELETEITEM: return DeleteItem(index);
    case LVM_DELETEALLITEMS: return DeleteAllItems();
    case LVM_GETNEXTITEM: return GetNextItem(index, static_cast<UINT>(lParam));
    case LVM_FINDITEMA: return FindItem(reinterpret_cast<const LVFINDINFO*>(lParam), index);
    case LVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      return rect ? GetItemRect(index, rect, static_cast<UINT>(rect->left)) : FALSE;
    }
    case LVM_GETSTRINGWIDTHA: return GetStringWidth(reinterpret_cast<LPCSTR>(lParam));
    case LVM_ENSUREVISIBLE: return EnsureVisible(index, lParam != 0);
    case LVM_SCROLL: return Scroll(CSize(index, static_cast<int>(lParam)));
    case LVM_REDRAWITEMS: return RedrawItems(index, static_cast<int>(lParam));
    case LVM_GETCOLUMNA: return GetColumn(index, column);
    case LVM_SETCOLUMNA: return SetColumn(index, column);
    case LVM_INSERTCOLUMNA: return InsertColumn(index, column);
    case LVM_DELETECOLUMN: return DeleteColumn(index);
    case LVM_GETCOLUMNWIDTH: return GetColumnWidth(index);
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(index, static_cast<int>(lParam));
    case LVM_GETTOPINDEX: return GetTopIndex();
    case LVM_GETCOUNTPERPAGE: return GetCountPerPage();
    case LVM_SETITEMSTATE: return item ? SetItemState(index, item->state, item->stateMask) : FALSE;
    case LVM_GETITEMSTATE: return GetItemState(index, static_cast<UINT>(lParam));
    case LVM_GETITEMTEXTA: return item ? GetItemText(index, item->iSubItem, item->pszText, item->cchTextMax) : 0;
    case LVM_SETITEMTEXTA: return item ? SetItemText(index, item->iSubItem, item->pszText) : FALSE;
    case LVM_GETSELECTEDCOUNT: return GetSelectedCount();
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
      return SetExtendedStyle((GetExtendedStyle() & ~mask) | (static_cast<DWORD>(lParam) & mask));
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return GetExtendedStyle();
    case LVM_GETSUBITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      return rect ? GetSubItemRect(index, rect->top, rect->left, *rect) : FALSE;
    }
    case LVM_HITTEST: return HitTest(reinterpret_cast<LVHITTESTINFO*>(lParam));
    case LVM_SUBITEMHITTEST: return SubItemHitTest(reinterpret_cast<LVHITTESTINFO*>(lParam));
    case LVM_GETSELECTIONMARK: return GetSelectionMark();
    case LVM_SETSELECTIONMARK: return SetSelectionMark(static_cast<int>(lParam));
    default: return 0;
  }
}

void CListCtrl::SetNotifyHandler(UINT code, NotifyHandler handler) {
  if (View()) View()->SetNotifyHandler(code, std::move(handler));
}

ReportListMemory CListCtrl::GetMemoryUsage() const { return View() ? View()->Memory() : ReportListMemory{}; }

// ---- hooks: the list view's own handling -----------------------------------

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT draw) {
  if (View() && draw) View()->DefaultDrawItem(draw);
}

BOOL CListCtrl::OnNotifyReflect(NMHDR*, LRESULT*) { return FALSE; }

void CListCtrl::OnKeyDown(UINT key, UINT, UINT flags) {
  if (View()) View()->DefaultKeyDown(key, flags);
}

void CListCtrl::OnChar(UINT, UINT, UINT) {}

void CListCtrl::OnLButtonDown(UINT flags, CPoint point) {
  if (View()) View()->DefaultLButtonDown(flags, point);
}

void CListCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
  if (View()) View()->DefaultLButtonDblClk(flags, point);
}

void CListCtrl::OnRButtonDown(UINT flags, CPoint point) {
  if (View()) View()->DefaultRButtonDown(flags, point);
}

void CListCtrl::OnContextMenu(CWnd*, CPoint) {}

void CListCtrl::OnSetFocus(CWnd*) {}

void CListCtrl::OnKillFocus(CWnd*) {}

void CListCtrl::OnVScroll(UINT, UINT, CWnd*) {
  if (View()) View()->AllowVerticalScroll();
}

UINT CListCtrl::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
