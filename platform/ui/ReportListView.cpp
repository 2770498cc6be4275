#include "ReportListView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <algorithm>
#include <cstring>

#include "CDC.h"
#include "CDialogBuilder.h"
#include "CListCtrl.h"
#include "HwndMap.h"
#include "InputDefs.h"
#include "SysColors.h"

namespace {

constexpr int kTextInset = 6;

// GetKeyState answers from the event being handled.
class EventModifiersScope {
 public:
  explicit EventModifiersScope(const QInputEvent* event) : EventModifiersScope(event->modifiers()) {}
  // A modifier key counts as held while its own press is handled.
  explicit EventModifiersScope(const QKeyEvent* event) : EventModifiersScope(event->modifiers() | HeldBy(event->key())) {}
  ~EventModifiersScope() { EndEventModifiers(); }

 private:
  explicit EventModifiersScope(Qt::KeyboardModifiers modifiers) { BeginEventModifiers(modifiers.toInt()); }
  static Qt::KeyboardModifiers HeldBy(int key) {
    return key == Qt::Key_Shift ? Qt::ShiftModifier : key == Qt::Key_Control ? Qt::ControlModifier
         : key == Qt::Key_Alt   ? Qt::AltModifier   : Qt::NoModifier;
  }
  EventModifiersScope(const EventModifiersScope&) = delete;
  EventModifiersScope& operator=(const EventModifiersScope&) = delete;
};
constexpr int kHorizontalStep = 10;

UINT VirtualKeyOf(int key) {
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Menu: return VK_APPS;
    default: break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return static_cast<UINT>(key);
  return 0;
}

// The character a key types when the event carries no text of its own.
char ControlCharOf(UINT key) {
  switch (key) {
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    default: return 0;
  }
}

UINT MouseFlagsOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  UINT flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

UINT ScrollCodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    default: return SB_THUMBTRACK;
  }
}

Qt::Alignment HeaderAlignmentOf(int format) {
  const int justify = format & LVCFMT_JUSTIFYMASK;
  const Qt::Alignment horizontal =
      justify == LVCFMT_RIGHT ? Qt::AlignRight : justify == LVCFMT_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

// Never ends the copy inside a character: a trailing partial UTF-8
// sequence is dropped.
void CopyText(std::string_view text, LPSTR buffer, int capacity) {
  if (!buffer || capacity <= 0) return;
  size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
  if (count < text.size())
    while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) --count;
  if (count) std::memcpy(buffer, text.data(), count);  // an empty cell's text may have no storage
  buffer[count] = '\0';
}

}  // namespace

ReportListView::ReportListView(QWidget* parent, DWORD style) : QAbstractScrollArea(parent), m_style(style) {
  m_headerModel = new QStandardItemModel(0, 0, this);
  m_header = new QHeaderView(Qt::Horizontal, this);
  m_header->setModel(m_headerModel);
  m_header->setMinimumSectionSize(0);
  m_header->setStretchLastSection(false);
  m_header->setSectionResizeMode(QHeaderView::Interactive);
  m_header->setHighlightSections(false);
  m_header->setSortIndicatorShown(false);
  m_header->setFocusPolicy(Qt::NoFocus);
  m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QObject::connect(m_header, &QHeaderView::sectionResized, this,
                   [this](int logical, int, int size) { OnSectionResized(logical, size); });
  QObject::connect(m_header, &QHeaderView::sectionClicked, this, [this](int logical) { OnSectionClicked(logical); });
  QObject::connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this,
                   [this](int logical) { FitColumnToShownRows(logical); });
  QObject::connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
                   [this](int action) { OnVerticalAction(action); });
  m_repaintTimer.setSingleShot(true);
  QObject::connect(&m_repaintTimer, &QTimer::timeout, this, [this] { FlushPendingRepaint(); });
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  horizontalScrollBar()->setSingleStep(kHorizontalStep);
  verticalScrollBar()->setSingleStep(1);
  SetStyle(style);
  UpdateMetrics();
}

ReportListView::~ReportListView() = default;

CListCtrl* ReportListView::Owner() const { return dynamic_cast<CListCtrl*>(CWnd::FromWidget(this)); }

void ReportListView::SetStyle(DWORD style) {
  m_style = style;
  m_header->setSectionsClickable(!(style & LVS_NOSORTHEADER));
  m_header->setVisible(!(style & LVS_NOCOLUMNHEADER));
  UpdateMetrics();
  ScheduleRepaint();
}

DWORD ReportListView::SetExtendedStyle(DWORD exStyle) {
  const DWORD old = m_exStyle;
  m_exStyle = exStyle;
  ScheduleRepaint();
  return old;
}

// ---- metrics and scrolling ------------------------------------------------

void ReportListView::UpdateMetrics() {
  const QFontMetrics metrics(font());
  m_rowHeight = metrics.height() + 4;
  // The header is one row high plus 3 pixels: code written for the window
  // system's list view counts on that in its own hit testing.
  m_headerHeight = (m_style & LVS_NOCOLUMNHEADER) ? 0 : m_fixedHeaderHeight >= 0 ? m_fixedHeaderHeight : m_rowHeight + 3;
  m_header->setFont(font());
  UpdateGeometries();
}

void ReportListView::SetHeaderHeight(int height) {
  m_fixedHeaderHeight = height;
  UpdateMetrics();
  ScheduleRepaint();
}

void ReportListView::UpdateGeometries() {
  setViewportMargins(0, m_headerHeight, 0, 0);
  const QRect area = viewport()->geometry();
  m_header->setGeometry(area.left(), area.top() - m_headerHeight, area.width(), m_headerHeight);
  SyncScrollBars();
}

void ReportListView::SyncScrollBars() {
  const int perPage = CountPerPage();
  QScrollBar* vertical = verticalScrollBar();
  vertical->setPageStep(std::max(1, perPage));
  vertical->setRange(0, std::max(0, ItemCount() - perPage));
  QScrollBar* horizontal = horizontalScrollBar();
  const int width = viewport()->width();
  horizontal->setPageStep(std::max(1, width));
  horizontal->setRange(0, std::max(0, TotalColumnWidth() - width));
  m_header->setOffset(horizontal->value());
}

void ReportListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateGeometries();
}

void ReportListView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateMetrics();
  if (event->type() == QEvent::EnabledChange) ScheduleRepaint();
}

void ReportListView::scrollContentsBy(int, int) {
  m_header->setOffset(horizontalScrollBar()->value());
  viewport()->update();
}

void ReportListView::OnVerticalAction(int action) {
  QScrollBar* bar = verticalScrollBar();
  m_vscrollAllowed = false;
  const UINT position = static_cast<UINT>(bar->sliderPosition());
  if (CListCtrl* owner = Owner())
    owner->OnVScroll(ScrollCodeOf(action), position, nullptr);
  else
    AllowVerticalScroll();
  if (!m_vscrollAllowed) bar->setSliderPosition(bar->value());
  m_vscrollAllowed = true;
}

int ReportListView::TopIndex() const { return verticalScrollBar()->value(); }

int ReportListView::CountPerPage() const {
  return m_rowHeight > 0 ? std::max(0, viewport()->height() / m_rowHeight) : 0;
}

BOOL ReportListView::EnsureVisible(int item, BOOL partialOk) {
  if (item < 0 || item >= ItemCount()) return FALSE;
  SyncScrollBars();
  const int top = TopIndex();
  const int perPage = std::max(1, CountPerPage());
  if (item < top) {
    verticalScrollBar()->setValue(item);
  } else if (item >= top + perPage) {
    const bool partlyShown = (item - top) * m_rowHeight < viewport()->height();
    if (!(partialOk && partlyShown)) verticalScrollBar()->setValue(item - perPage + 1);
  }
  return TRUE;
}

BOOL ReportListView::Scroll(int dx, int dy) {
  SyncScrollBars();
  if (dx != 0) horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
  if (dy != 0 && m_rowHeight > 0) {
    const int rows = dy / m_rowHeight + ((dy % m_rowHeight) != 0 ? (dy > 0 ? 1 : -1) : 0);
    verticalScrollBar()->setValue(TopIndex() + rows);
  }
  return TRUE;
}

int ReportListView::ScrollPos(int bar) const {
  return bar == SB_HORZ ? horizontalScrollBar()->value() : bar == SB_VERT ? verticalScrollBar()->value() : 0;
}

int ReportListView::StringWidth(std::string_view text) const {
  return QFontMetrics(font()).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// ---- geometry --------------------------------------------------------------

RECT ReportListView::ClientRect() const { return RECT{0, 0, viewport()->width(), viewport()->height() + m_headerHeight}; }

int ReportListView::ColumnLeft(int at) const {
  int left = 0;
  for (int c = 0; c < at && c < ColumnCount(); ++c) left += m_columns[c].width;
  return left;
}

int ReportListView::TotalColumnWidth() const { return ColumnLeft(ColumnCount()); }

BOOL ReportListView::ItemRect(int item, int code, RECT* rect) const {
  if (!rect || item < 0 || item >= ItemCount()) return FALSE;
  const int top = m_headerHeight + (item - TopIndex()) * m_rowHeight;
  const int left = -horizontalScrollBar()->value();
  rect->top = top;
  rect->bottom = top + m_rowHeight;
  rect->left = left;
  switch (code) {
    case LVIR_BOUNDS:
    case LVIR_SELECTBOUNDS: rect->right = left + TotalColumnWidth(); return TRUE;
    case LVIR_ICON: rect->right = left; return TRUE;
    case LVIR_LABEL: rect->right = left + ColumnWidth(0); return TRUE;
    default: return FALSE;
  }
}

BOOL ReportListView::SubItemRect(int item, int subItem, int code, RECT* rect) const {
  if (subItem < 0 || (subItem > 0 && subItem >= ColumnCount())) return FALSE;
  // Sub-item 0 with LVIR_BOUNDS is the whole row, as the window system gives it.
  if (!ItemRect(item, subItem == 0 && code == LVIR_BOUNDS ? LVIR_BOUNDS : LVIR_LABEL, rect)) return FALSE;
  if (subItem == 0 && code == LVIR_BOUNDS) return TRUE;
  if (code != LVIR_BOUNDS && code != LVIR_LABEL && code != LVIR_ICON) return FALSE;
  rect->left = -horizontalScrollBar()->value() + ColumnLeft(subItem);
  rect->right = code == LVIR_ICON ? rect->left : rect->left + ColumnWidth(subItem);
  return TRUE;
}

int ReportListView::RowAt(int clientY) const {
  if (clientY < m_headerHeight || m_rowHeight <= 0) return -1;
  return TopIndex() + (clientY - m_headerHeight) / m_rowHeight;
}

int ReportListView::HitTest(LVHITTESTINFO* info) const {
  if (!info) return -1;
  const POINT pt = info->pt;
  const RECT client = ClientRect();
  info->iItem = -1;
  info->iSubItem = 0;
  info->flags = 0;
  if (pt.y < m_headerHeight) info->flags |= LVHT_ABOVE;
  if (pt.y >= client.bottom) info->flags |= LVHT_BELOW;
  if (pt.x < 0) info->flags |= LVHT_TOLEFT;
  if (pt.x >= client.right) info->flags |= LVHT_TORIGHT;
  if (info->flags) return -1;
  const int row = RowAt(pt.y);
  const int x = pt.x + horizontalScrollBar()->value();
  if (row < 0 || row >= ItemCount() || x >= TotalColumnWidth()) {
    info->flags = LVHT_NOWHERE;
    return -1;
  }
  info->flags = LVHT_ONITEMLABEL;
  info->iItem = row;
  return row;
}

int ReportListView::SubItemHitTest(LVHITTESTINFO* info) const {
  const int item = HitTest(info);
  if (item < 0) return -1;
  const int x = info->pt.x + horizontalScrollBar()->value();
  for (int c = 0, left = 0; c < ColumnCount(); left += m_columns[c].width, ++c)
    if (x >= left && x < left + m_columns[c].width) info->iSubItem = c;
  return item;
}

POINT ReportListView::ToClient(const QPoint& p) const { return POINT{p.x(), p.y() + m_headerHeight}; }

// ---- columns ---------------------------------------------------------------

void ReportListView::ApplyColumnToHeader(int at) {
  const Column& column = m_columns[at];
  m_syncingHeader = true;
  m_headerModel->setHeaderData(at, Qt::Horizontal, QString::fromStdString(column.heading), Qt::DisplayRole);
  m_headerModel->setHeaderData(at, Qt::Horizontal, QVariant::fromValue(HeaderAlignmentOf(column.format)),
                               Qt::TextAlignmentRole);
  m_header->resizeSection(at, column.width);
  m_syncingHeader = false;
}

int ReportListView::InsertColumn(int at, const LVCOLUMN& info) {
  if (at < 0) return -1;
  at = std::min(at, ColumnCount());
  // Column n always shows sub-item n here.
  if ((info.mask & LVCF_SUBITEM) && info.iSubItem != at) return -1;
  Column column;
  if (info.mask & LVCF_FMT) column.format = info.fmt & LVCFMT_JUSTIFYMASK;
  if (info.mask & LVCF_WIDTH) column.width = std::max(0, info.cx);
  if ((info.mask & LVCF_TEXT) && info.pszText) column.heading = info.pszText;
  m_columns.insert(m_columns.begin() + at, column);
  m_model.InsertColumn(at, ColumnCount());
  m_headerModel->insertColumns(at, 1);
  for (int c = at; c < ColumnCount(); ++c) ApplyColumnToHeader(c);
  SyncScrollBars();
  ScheduleRepaint();
  return at;
}

BOOL ReportListView::DeleteColumn(int at) {
  if (at < 0 || at >= ColumnCount()) return FALSE;
  m_columns.erase(m_columns.begin() + at);
  m_model.DeleteColumn(at, ColumnCount());
  m_headerModel->removeColumns(at, 1);
  SyncScrollBars();
  ScheduleRepaint();
  return TRUE;
}

BOOL ReportListView::GetColumn(int at, LVCOLUMN* info) const {
  if (!info || at < 0 || at >= ColumnCount()) return FALSE;
  const Column& column = m_columns[at];
  if (info->mask & LVCF_FMT) info->fmt = column.format;
  if (info->mask & LVCF_WIDTH) info->cx = column.width;
  if (info->mask & LVCF_SUBITEM) info->iSubItem = at;
  if (info->mask & LVCF_TEXT) {
    if (!info->pszText || info->cchTextMax <= 0) return FALSE;
    CopyText(column.heading, info->pszText, info->cchTextMax);
  }
  return TRUE;
}

BOOL ReportListView::SetColumn(int at, const LVCOLUMN& info) {
  if (at < 0 || at >= ColumnCount()) return FALSE;
  if ((info.mask & LVCF_SUBITEM) && info.iSubItem != at) return FALSE;
  Column& column = m_columns[at];
  if (info.mask & LVCF_FMT) column.format = info.fmt & LVCFMT_JUSTIFYMASK;
  if (info.mask & LVCF_WIDTH) column.width = std::max(0, info.cx);
  if (info.mask & LVCF_TEXT) column.heading = info.pszText ? info.pszText : "";
  ApplyColumnToHeader(at);
  SyncScrollBars();
  ScheduleRepaint();
  return TRUE;
}

int ReportListView::ColumnWidth(int at) const { return at >= 0 && at < ColumnCount() ? m_columns[at].width : 0; }

BOOL ReportListView::SetColumnWidth(int at, int width) {
  if (at < 0 || at >= ColumnCount() || width < 0) return FALSE;
  m_columns[at].width = width;
  ApplyColumnToHeader(at);
  SyncScrollBars();
  ScheduleRepaint();
  return TRUE;
}

// A double-click on a divider fits the column to the widest text of the
// rows in view, as the platform's list view does.
void ReportListView::FitColumnToShownRows(int column) {
  if (column < 0 || column >= ColumnCount()) return;
  const QFontMetrics metrics(font());
  const int last = std::min(ItemCount(), TopIndex() + CountPerPage() + 1);
  int widest = 0;
  for (int row = TopIndex(); row < last; ++row) {
    const std::string_view text = ItemText(row, column);
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))));
  }
  SetColumnWidth(column, widest + 2 * kTextInset);
}

void ReportListView::OnSectionResized(int logical, int newSize) {
  if (m_syncingHeader || logical < 0 || logical >= ColumnCount()) return;
  m_columns[logical].width = newSize;
  SyncScrollBars();
  viewport()->update();
}

void ReportListView::OnSectionClicked(int logical) {
  NMLISTVIEW click;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = logical;
  Notify(click.hdr);
}

// ---- items -----------------------------------------------------------------

void ReportListView::ShiftIndexesForInsert(int at, int count) {
  for (int* index : {&m_focused, &m_selectionMark, &m_lastSelected})
    if (*index >= at) *index += count;
}

void ReportListView::ShiftIndexesForDelete(int at) {
  for (int* index : {&m_focused, &m_selectionMark, &m_lastSelected}) {
    if (*index == at) *index = -1;
    else if (*index > at) --*index;
  }
}

int ReportListView::InsertItem(const LVITEM& item) {
  if (item.iSubItem != 0 || item.iItem < 0) return -1;
  if ((item.mask & LVIF_TEXT) && item.pszText == LPSTR_TEXTCALLBACKA) return -1;
  const int at = std::min(item.iItem, ItemCount());
  const std::string_view text = (item.mask & LVIF_TEXT) && item.pszText ? std::string_view(item.pszText) : std::string_view();
  if (!m_model.InsertRow(at, text)) return -1;
  ShiftIndexesForInsert(at, 1);
  if (item.mask & LVIF_STATE) SetItemState(at, item.state, item.stateMask);
  ScheduleRepaint();
  return at;
}

int ReportListView::InsertItems(int at, int rowCount, int columns, const char* const* texts) {
  if (rowCount < 0 || columns < 0) return -1;
  if (at < 0 || at > ItemCount()) at = ItemCount();
  if (!m_model.InsertRows(at, rowCount, columns, texts)) return -1;
  ShiftIndexesForInsert(at, rowCount);
  ScheduleRepaint();
  return at;
}

BOOL ReportListView::SetItem(const LVITEM& item) {
  if (item.iItem < 0 || item.iItem >= ItemCount()) return FALSE;
  if (item.mask & ~(LVIF_TEXT | LVIF_STATE)) return FALSE;  // no images or item data here
  if (item.mask & LVIF_TEXT) {
    if (item.pszText == LPSTR_TEXTCALLBACKA) return FALSE;
    if (!SetItemText(item.iItem, item.iSubItem, item.pszText ? item.pszText : "")) return FALSE;
  }
  if (item.mask & LVIF_STATE) {
    if (item.iSubItem != 0) return FALSE;
    SetItemState(item.iItem, item.state, item.stateMask);
  }
  return TRUE;
}

BOOL ReportListView::GetItem(LVITEM* item) const {
  if (!item || item->iItem < 0 || item->iItem >= ItemCount() || item->iSubItem < 0) return FALSE;
  if (item->iSubItem > 0 && item->iSubItem >= ColumnCount()) return FALSE;
  if (item->mask & LVIF_TEXT) {
    if (!item->pszText || item->cchTextMax <= 0) return FALSE;
    CopyText(ItemText(item->iItem, item->iSubItem), item->pszText, item->cchTextMax);
  }
  if (item->mask & LVIF_STATE) item->state = ItemState(item->iItem, item->stateMask);
  if (item->mask & LVIF_PARAM) item->lParam = 0;
  return TRUE;
}

BOOL ReportListView::SetItemText(int item, int subItem, std::string_view text) {
  if (!m_model.SetText(item, subItem, text)) return FALSE;
  RedrawItems(item, item);
  return TRUE;
}

std::string_view ReportListView::ItemText(int item, int subItem) const { return m_model.Text(item, subItem); }

BOOL ReportListView::DeleteItem(int item) {
  if (item < 0 || item >= ItemCount()) return FALSE;
  if (m_model.State(item) & LVIS_SELECTED) --m_selectedCount;
  m_model.DeleteRow(item);
  ShiftIndexesForDelete(item);
  SyncScrollBars();
  ScheduleRepaint();
  return TRUE;
}

BOOL ReportListView::DeleteAllItems() {
  m_model.Clear();
  m_focused = m_selectionMark = m_lastSelected = -1;
  m_selectedCount = 0;
  // An emptied list starts again at its origin; code that reloads a list
  // scrolls back to where it was itself.
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  SyncScrollBars();
  ScheduleRepaint();
  return TRUE;
}

int ReportListView::FindItem(const LVFINDINFO& find, int start) const {
  if (!(find.flags & LVFI_STRING) || !find.psz) return -1;
  const std::string_view wanted(find.psz);
  const bool partial = find.flags & LVFI_PARTIAL;
  for (int i = std::max(0, start + 1); i < ItemCount(); ++i) {
    const std::string_view text = ItemText(i, 0);
    const std::string_view compared = partial ? text.substr(0, wanted.size()) : text;
    if (compared.size() == wanted.size() &&
        QString::fromUtf8(compared.data(), compared.size())
                .compare(QString::fromUtf8(wanted.data(), wanted.size()), Qt::CaseInsensitive) == 0)
      return i;
  }
  return -1;
}

// ---- states ----------------------------------------------------------------

UINT ReportListView::ItemState(int item, UINT mask) const {
  if (item < 0 || item >= ItemCount()) return 0;
  return m_model.State(item) & mask;
}

void ReportListView::ChangeState(int item, UINT newState) {
  const UINT old = m_model.State(item);
  newState &= LVIS_SELECTED | LVIS_FOCUSED;
  if (old == newState) return;
  m_model.SetState(item, newState);
  if ((old ^ newState) & LVIS_SELECTED) m_selectedCount += (newState & LVIS_SELECTED) ? 1 : -1;
  if (newState & LVIS_SELECTED) m_lastSelected = item;
  if (newState & LVIS_FOCUSED) m_focused = item;
  else if (m_focused == item) m_focused = -1;
  RedrawItems(item, item);
  NotifyItemChanged(item, old, newState);
}

BOOL ReportListView::SetItemState(int item, UINT state, UINT mask) {
  mask &= LVIS_SELECTED | LVIS_FOCUSED;
  if (item == -1) {
    // Every item; only those whose state changes are visited when clearing.
    // One item at most holds the focus, and a single-selection list one
    // selected item: neither is given to every item at once.
    const UINT asked = mask;
    if (state & mask & LVIS_FOCUSED) mask &= ~LVIS_FOCUSED;
    if ((state & mask & LVIS_SELECTED) && (m_style & LVS_SINGLESEL)) mask &= ~LVIS_SELECTED;
    const bool setting = state & mask;
    const auto anyLeft = [&] {
      return ((mask & LVIS_SELECTED) && m_selectedCount > 0) || ((mask & LVIS_FOCUSED) && m_focused >= 0);
    };
    for (int i = 0; i < ItemCount() && (setting || anyLeft()); ++i) {
      if (!setting && !(m_model.State(i) & mask)) continue;
      ChangeState(i, (m_model.State(i) & ~mask) | (state & mask));
    }
    return mask == asked;
  }
  if (item < 0 || item >= ItemCount()) return FALSE;
  const UINT wanted = (m_model.State(item) & ~mask) | (state & mask);
  if ((wanted & LVIS_FOCUSED) && m_focused >= 0 && m_focused != item)
    ChangeState(m_focused, m_model.State(m_focused) & ~LVIS_FOCUSED);
  if ((wanted & LVIS_SELECTED) && (m_style & LVS_SINGLESEL)) DeselectAllBut(item);
  ChangeState(item, wanted);
  return TRUE;
}

int ReportListView::NextItem(int start, UINT flags) const {
  const UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
  if (flags & LVNI_ABOVE) {
    for (int i = std::min(start, ItemCount()) - 1; i >= 0; --i)
      if ((m_model.State(i) & wanted) == wanted) return i;
    return -1;
  }
  if (wanted == LVNI_FOCUSED) return m_focused > start ? m_focused : -1;
  if ((wanted & LVNI_SELECTED) && m_selectedCount == 0) return -1;
  for (int i = std::max(0, start + 1); i < ItemCount(); ++i)
    if ((m_model.State(i) & wanted) == wanted) return i;
  return -1;
}

int ReportListView::SetSelectionMark(int item) { return std::exchange(m_selectionMark, item); }

void ReportListView::NotifyItemChanged(int item, UINT oldState, UINT newState) {
  NMLISTVIEW change;
  change.hdr.code = LVN_ITEMCHANGED;
  change.iItem = item;
  change.uOldState = oldState;
  change.uNewState = newState;
  change.uChanged = LVIF_STATE;
  Notify(change.hdr);
}

// ---- notifications ---------------------------------------------------------

void ReportListView::SetNotifyHandler(UINT code, NotifyHandler handler) {
  if (handler)
    m_handlers[code] = std::move(handler);
  else
    m_handlers.erase(code);
}

LRESULT ReportListView::Notify(NMHDR& header) {
  header.hwndFrom = HwndFromWidget(this);
  header.idFrom = static_cast<UINT_PTR>(ControlIdOf(this));
  LRESULT result = 0;
  if (CListCtrl* owner = Owner(); owner && owner->OnNotifyReflect(&header, &result)) return result;
  if (const auto found = m_handlers.find(header.code); found != m_handlers.end()) {
    const NotifyHandler handler = found->second;  // the handler may replace itself
    handler(&header, &result);
  }
  return result;
}

NMITEMACTIVATE ReportListView::ActivationAt(UINT code, POINT point, UINT flags) const {
  NMITEMACTIVATE activate;
  activate.hdr.code = code;
  LVHITTESTINFO hit;
  hit.pt = point;
  SubItemHitTest(&hit);
  activate.iItem = hit.iItem;
  activate.iSubItem = hit.iSubItem;
  activate.ptAction = point;
  activate.uKeyFlags = flags;
  return activate;
}

// ---- default input handling ------------------------------------------------

void ReportListView::SelectOnly(int item) {
  DeselectAllBut(item);
  if (item >= 0) SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// The last selected item is tried first: in a single-selection list it is
// usually the only one, and the scan below then ends at once.
void ReportListView::DeselectAllBut(int item) {
  if (m_selectedCount == 0) return;
  if (m_lastSelected >= 0 && m_lastSelected != item && (m_model.State(m_lastSelected) & LVIS_SELECTED))
    ChangeState(m_lastSelected, m_model.State(m_lastSelected) & ~LVIS_SELECTED);
  // Stop as soon as only the item itself may still be selected.
  const auto othersLeft = [&] { return m_selectedCount > ((item >= 0 && (m_model.State(item) & LVIS_SELECTED)) ? 1 : 0); };
  for (int i = 0; othersLeft() && i < ItemCount(); ++i)
    if (i != item && (m_model.State(i) & LVIS_SELECTED)) ChangeState(i, m_model.State(i) & ~LVIS_SELECTED);
}

void ReportListView::SelectRange(int from, int to) {
  if (from > to) std::swap(from, to);
  for (int i = 0; i < ItemCount(); ++i) {
    const bool inRange = i >= from && i <= to;
    const UINT state = m_model.State(i);
    if (inRange != bool(state & LVIS_SELECTED)) ChangeState(i, inRange ? state | LVIS_SELECTED : state & ~LVIS_SELECTED);
  }
}

void ReportListView::MoveFocusTo(int item) {
  if (ItemCount() == 0) return;
  item = std::clamp(item, 0, ItemCount() - 1);
  SelectOnly(item);
  m_selectionMark = item;
  EnsureVisible(item, FALSE);
}

void ReportListView::DefaultKeyDown(UINT key, UINT flags) {
  NMLVKEYDOWN down;
  down.hdr.code = LVN_KEYDOWN;
  down.wVKey = static_cast<WORD>(key);
  down.flags = flags;
  Notify(down.hdr);
  const int current = m_focused;
  const int top = TopIndex();
  const int perPage = std::max(1, CountPerPage());
  switch (key) {
    case VK_UP: MoveFocusTo(current <= 0 ? 0 : current - 1); break;
    case VK_DOWN: MoveFocusTo(current + 1); break;
    case VK_HOME: MoveFocusTo(0); break;
    case VK_END: MoveFocusTo(ItemCount() - 1); break;
    case VK_NEXT: MoveFocusTo(current < top + perPage - 1 ? top + perPage - 1 : current + perPage - 1); break;
    case VK_PRIOR: MoveFocusTo(current > top ? top : current - perPage + 1); break;
    case VK_LEFT: Scroll(-kHorizontalStep, 0); break;
    case VK_RIGHT: Scroll(kHorizontalStep, 0); break;
    case VK_SPACE:
      if (current >= 0) SetItemState(current, LVIS_SELECTED, LVIS_SELECTED);
      break;
    default: break;
  }
}

void ReportListView::DefaultLButtonDown(UINT flags, POINT point) {
  setFocus(Qt::MouseFocusReason);
  LVHITTESTINFO hit;
  hit.pt = point;
  const int item = HitTest(&hit);
  const bool multiple = !(m_style & LVS_SINGLESEL);
  if (item < 0) {
    if (!(flags & (MK_CONTROL | MK_SHIFT))) SelectOnly(-1);
    return;
  }
  if (multiple && (flags & MK_CONTROL)) {
    SetItemState(item, (m_model.State(item) & LVIS_SELECTED) ? LVIS_FOCUSED : LVIS_SELECTED | LVIS_FOCUSED,
                 LVIS_SELECTED | LVIS_FOCUSED);
    m_selectionMark = item;
  } else if (multiple && (flags & MK_SHIFT) && m_selectionMark >= 0) {
    SelectRange(m_selectionMark, item);
    SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    SelectOnly(item);
    m_selectionMark = item;
  }
  EnsureVisible(item, FALSE);
}

void ReportListView::DefaultLButtonDblClk(UINT flags, POINT point) {
  DefaultLButtonDown(flags, point);
  NMITEMACTIVATE activate = ActivationAt(NM_DBLCLK, point, flags);
  Notify(activate.hdr);
}

void ReportListView::DefaultRButtonDown(UINT, POINT point) {
  setFocus(Qt::MouseFocusReason);
  LVHITTESTINFO hit;
  hit.pt = point;
  const int item = HitTest(&hit);
  if (item >= 0 && !(m_model.State(item) & LVIS_SELECTED)) {
    SelectOnly(item);
    m_selectionMark = item;
  }
}

bool ReportListView::WantsAllKeys() const {
  CListCtrl* owner = Owner();
  return owner && (owner->OnGetDlgCode() & DLGC_WANTALLKEYS);
}

bool ReportListView::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && WantsAllKeys()) {
      keyPressEvent(key);
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void ReportListView::SendChars(const QKeyEvent* event, UINT key) {
  CListCtrl* owner = Owner();
  if (!owner) return;
  QByteArray bytes = event->text().toUtf8();
  if (const char control = ControlCharOf(key); control && (bytes.isEmpty() || bytes[0] != control)) bytes = QByteArray(1, control);
  for (const char ch : bytes)
    if (ch != 127) owner->OnChar(static_cast<unsigned char>(ch), 1, 0);
}

void ReportListView::keyPressEvent(QKeyEvent* event) {
  const EventModifiersScope modifiers(event);
  const UINT key = VirtualKeyOf(event->key());
  const bool dialogKey = key == VK_RETURN || key == VK_ESCAPE;
  if (dialogKey && !WantsAllKeys()) {
    event->ignore();  // the dialog's default and cancel buttons take these
    return;
  }
  const UINT flags = event->isAutoRepeat() ? 0x4000 : 0;
  if (CListCtrl* owner = Owner()) {
    if (key) owner->OnKeyDown(key, 1, flags);
  } else if (key) {
    DefaultKeyDown(key, flags);
  }
  SendChars(event, key);
  event->accept();
}

void ReportListView::mousePressEvent(QMouseEvent* event) {
  const EventModifiersScope modifiers(event);
  const POINT point = ToClient(event->position().toPoint());
  const UINT flags = MouseFlagsOf(event->buttons(), event->modifiers());
  CListCtrl* owner = Owner();
  if (event->button() == Qt::LeftButton) {
    m_leftPressed = true;
    if (owner) owner->OnLButtonDown(flags, CPoint(point));
    else DefaultLButtonDown(flags, point);
  } else if (event->button() == Qt::RightButton) {
    m_rightPressed = true;
    if (owner) owner->OnRButtonDown(flags, CPoint(point));
    else DefaultRButtonDown(flags, point);
  }
  event->accept();
}

void ReportListView::mouseReleaseEvent(QMouseEvent* event) {
  const EventModifiersScope modifiers(event);
  const POINT point = ToClient(event->position().toPoint());
  const UINT flags = MouseFlagsOf(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton && std::exchange(m_leftPressed, false)) {
    NMITEMACTIVATE click = ActivationAt(NM_CLICK, point, flags);
    Notify(click.hdr);
  } else if (event->button() == Qt::RightButton && std::exchange(m_rightPressed, false)) {
    NMITEMACTIVATE click = ActivationAt(NM_RCLICK, point, flags);
    Notify(click.hdr);
  }
  event->accept();
}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
  const EventModifiersScope modifiers(event);
  if (event->button() != Qt::LeftButton) {
    mousePressEvent(event);
    return;
  }
  const POINT point = ToClient(event->position().toPoint());
  const UINT flags = MouseFlagsOf(event->buttons(), event->modifiers());
  m_leftPressed = false;
  if (CListCtrl* owner = Owner()) owner->OnLButtonDblClk(flags, CPoint(point));
  else DefaultLButtonDblClk(flags, point);
  event->accept();
}

void ReportListView::contextMenuEvent(QContextMenuEvent* event) {
  const EventModifiersScope modifiers(event);
  CListCtrl* owner = Owner();
  if (!owner) return;
  const CPoint point = event->reason() == QContextMenuEvent::Keyboard ? CPoint(-1, -1)
                                                                       : CPoint(event->globalPos().x(), event->globalPos().y());
  owner->OnContextMenu(owner, point);
  event->accept();
}

void ReportListView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (CListCtrl* owner = Owner()) owner->OnSetFocus(nullptr);  // the window that lost the focus is not known here
  if (m_focused >= 0) RedrawItems(m_focused, m_focused);
}

void ReportListView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (CListCtrl* owner = Owner()) owner->OnKillFocus(CWnd::FromWidget(QApplication::focusWidget()));
  if (m_focused >= 0) RedrawItems(m_focused, m_focused);
}

// ---- painting --------------------------------------------------------------

void ReportListView::RedrawItems(int first, int last) {
  if (last < first || last < TopIndex() || first > TopIndex() + CountPerPage() + 1) return;
  ScheduleRepaint();
}

void ReportListView::ScheduleRepaint() {
  m_repaintPending = true;
  if (m_repaintTimer.isActive()) return;
  const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : kRepaintIntervalMs;
  if (since >= kRepaintIntervalMs)
    FlushPendingRepaint();
  else
    m_repaintTimer.start(static_cast<int>(kRepaintIntervalMs - since));
}

void ReportListView::FlushPendingRepaint() {
  m_repaintTimer.stop();
  m_repaintPending = false;
  m_sinceRepaint.restart();
  SyncScrollBars();
  viewport()->update();
}

void ReportListView::DrawRow(CDC& dc, int row) {
  DRAWITEMSTRUCT draw;
  draw.CtlType = ODT_LISTVIEW;
  draw.CtlID = static_cast<UINT>(ControlIdOf(this));
  draw.itemID = static_cast<UINT>(row);
  draw.itemAction = ODA_DRAWENTIRE;
  const UINT state = m_model.State(row);
  if (state & LVIS_SELECTED) draw.itemState |= ODS_SELECTED;
  if ((state & LVIS_FOCUSED) && hasFocus()) draw.itemState |= ODS_FOCUS;
  if (!isEnabled()) draw.itemState |= ODS_DISABLED;
  draw.hwndItem = HwndFromWidget(this);
  draw.hDC = dc.GetSafeHdc();
  ItemRect(row, LVIR_BOUNDS, &draw.rcItem);
  if (CListCtrl* owner = Owner())
    owner->DrawItem(&draw);
  else
    DefaultDrawItem(&draw);
}

void ReportListView::paintEvent(QPaintEvent*) {
  ++m_paintCount;
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), ToQColor(GetSysColor(isEnabled() ? COLOR_WINDOW : COLOR_BTNFACE)));
  painter.setFont(font());
  painter.translate(0, -m_headerHeight);
  CDC dc(&painter);
  const RECT client = ClientRect();
  for (int row = TopIndex(); row < ItemCount(); ++row) {
    if (m_headerHeight + (row - TopIndex()) * m_rowHeight >= client.bottom) break;
    DrawRow(dc, row);
  }
}

void ReportListView::DefaultDrawItem(LPDRAWITEMSTRUCT draw) {
  CDC* dc = CDC::FromHandle(draw->hDC);
  if (!dc || draw->itemID == static_cast<UINT>(-1)) return;
  const int row = static_cast<int>(draw->itemID);
  const bool selected = draw->itemState & ODS_SELECTED;
  const bool showSelection = selected && (hasFocus() || (m_style & LVS_SHOWSELALWAYS));
  const RECT& bounds = draw->rcItem;
  dc->FillSolidRect(&bounds, GetSysColor(showSelection ? COLOR_HIGHLIGHT : selected ? COLOR_BTNFACE : COLOR_WINDOW));
  const COLORREF oldText = dc->SetTextColor(GetSysColor(showSelection ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  CPen grid(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));
  CPen* oldPen = dc->SelectObject(&grid);
  int left = bounds.left;
  for (int c = 0; c < ColumnCount(); ++c) {
    const Column& column = m_columns[c];
    RECT cell{left + kTextInset, bounds.top, left + column.width - kTextInset, bounds.bottom};
    const std::string_view text = ItemText(row, c);
    const UINT align = column.format == LVCFMT_RIGHT ? DT_RIGHT : column.format == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
    if (cell.right > cell.left)
      dc->DrawText(text.data(), static_cast<int>(text.size()), &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | align);
    left += column.width;
    if (m_exStyle & LVS_EX_GRIDLINES) {
      dc->MoveTo(left - 1, bounds.top);
      dc->LineTo(left - 1, bounds.bottom);
    }
  }
  if (m_exStyle & LVS_EX_GRIDLINES) {
    dc->MoveTo(bounds.left, bounds.bottom - 1);
    dc->LineTo(bounds.right, bounds.bottom - 1);
  }
  dc->SelectObject(oldPen);
  dc->SetTextColor(oldText);
  if (draw->itemState & ODS_FOCUS) dc->DrawFocusRect(&bounds);
}
