#include "CEnumDialog.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "BatchHandOver.h"
#include "CDataExchange.h"
#include "LoadAccessor.h"
#include "OleDbErrors.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "RowBatch.h"
#include "RowBatchReader.h"
#include "SortText.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kHeadingBufferSize = 256;

struct TaskMemFree {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};
using TaskMemory = std::unique_ptr<BYTE, TaskMemFree>;

// Calls a function whenever the watched window changes size.
class ResizeWatcher : public QObject {
 public:
  ResizeWatcher(QWidget* window, std::function<void()> onResize) : QObject(window), m_onResize(std::move(onResize)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) m_onResize();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> m_onResize;
};

// The command that produced the rowset; empty for a rowset of no command.
ComPtr<ICommand> CommandOf(IRowset* rowset) {
  ComPtr<IRowsetInfo> info;
  ComPtr<ICommand> command;
  if (SUCCEEDED(rowset->QueryInterface(IID_IRowsetInfo, reinterpret_cast<void**>(&info))))
    info->GetSpecification(IID_ICommand, reinterpret_cast<IUnknown**>(&command));
  return command;
}

bool HasBookmarks(IRowset* rowset) {
  IRowsetLocate* locate = nullptr;
  if (FAILED(rowset->QueryInterface(IID_IRowsetLocate, reinterpret_cast<void**>(&locate)))) return false;
  locate->Release();
  return true;
}

}  // namespace

CEnumDialog::CEnumDialog(IRowset* rowset, LPCSTR caption, int maxChars, CWnd* parent)
    : CDialog(IDD_ROWSET_VIEWER, parent),
      m_pRowset(rowset),
      m_nMaxChars(maxChars),
      m_strCaption(caption ? caption : "") {}

CEnumDialog::~CEnumDialog() {
  WaitForLoader();
  ReleaseInterface(m_pRowset);
  m_bindings.Clear();
  OutputDebugString("Destructor de CEnumDialog\n");
}

void CEnumDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ROWSET_LIST, m_list);
}

BOOL CEnumDialog::OnInitDialog() {
  // The list reads this when data exchange attaches it.
  m_list.SetEditingEnabled(m_bEditingEnabled);
  CDialog::OnInitDialog();
  SetWindowText(m_strCaption.c_str());
  m_list.SetRowset(m_pRowset, m_nHiddenColumns);
  m_list.SetMaxChars(m_nMaxChars);
  m_list.SetNotifyHandler(LVN_COLUMNCLICK, [this](NMHDR* header, LRESULT* result) {
    return OnColumnClick(header, result);
  });
  MakeResizable();
  StartLoader();
  return TRUE;
}

void CEnumDialog::OnOK() { OnCancel(); }

void CEnumDialog::OnCancel() {
  if (!m_list.CommitPendingEdit()) return;
  if (m_bLoading) {
    m_bStopRequested = true;
    if (!m_bFirstFetchDone && m_command) m_command->Cancel();
    return;
  }
  CDialog::OnCancel();
}

// ---- the loader ------------------------------------------------------------

void CEnumDialog::StartLoader() {
  if (m_loader.joinable()) m_loader.join();  // the previous load has finished
  // Loading is set before the thread exists, so no click slips in between.
  m_bLoading = true;
  m_list.SetRowsLoading(true);
  m_bFirstFetchDone = false;
  m_loadStatus = S_OK;
  m_loadError.Reset();
  m_command.Reset();
  if (m_pRowset) m_command = CommandOf(m_pRowset);
  m_loader = std::thread([this] { RowLoader(); });
}

void CEnumDialog::RowLoader() {
  HRESULT hr = S_OK;
  if (m_bindings.IsEmpty())
    hr = BindColumnsForDisplay(m_pRowset, static_cast<DBORDINAL>(m_nHiddenColumns), m_nMaxChars, m_list, m_bindings,
                               [this](const std::function<void()>& work) { CallOnUiThread(work); });
  if (SUCCEEDED(hr) && m_pRowset) FetchRows();
  CallOnUiThread([this] { FinishLoading(); });
}

void CEnumDialog::FetchRows() {
  m_pRowset->RestartPosition(DB_NULL_HCHAPTER);
  // The grid finds edited rows again by bookmark; each row's is read with
  // its texts and travels with them to the list row they go to.
  const LoadAccessor accessor(m_pRowset, m_bindings, m_bEditingEnabled && HasBookmarks(m_pRowset));
  if (!accessor.IsOpen()) return;
  // One row buffer per row of a batch: the batch goes to the list at once.
  const size_t rowSize = accessor.RowSize();
  const size_t batchSize = rowSize * RowBatchReader::kBatchRows;
  TaskMemory buffer(static_cast<BYTE*>(CoTaskMemAlloc(batchSize)));
  if (!buffer) return;
  const DBCOUNTITEM columns = m_bindings.ColumnCount();
  BatchHandOver pending(columns);
  RowBatchReader reader(m_pRowset);
  const HRESULT hr = reader.ReadAll(
      [&](const HROW* rows, DBCOUNTITEM count) {
        for (DBCOUNTITEM i = 0; i < count; ++i) {
          BYTE* row = buffer.get() + i * rowSize;
          accessor.ClearRow(row);
          m_pRowset->GetData(rows[i], accessor.Handle(), row);
          // The texts lead every row buffer, one pointer per column.
          pending.Add(reinterpret_cast<char* const*>(row), 1);
          if (accessor.HasBookmarks()) pending.AddBookmark(accessor.Bookmark(row));
        }
        if (pending.IsDue()) HandOver(pending);
      },
      [this] {
        m_bFirstFetchDone = true;
        return m_bStopRequested.load();
      });
  if (pending.Rows()) HandOver(pending);
  if (FAILED(hr)) {
    m_loadStatus = hr;
    m_loadError = reader.TakeFetchError();
  }
}

void CEnumDialog::HandOver(BatchHandOver& pending) {
  // The loader reads on while the list stores these rows, unless the list
  // is far behind: then it waits, so queued texts stay bounded.
  m_handOverGate.WaitUntilAtMost(kMaxBytesOnTheirWay);
  std::shared_ptr<RowBatch> batch = pending.Take();
  const size_t bytes = batch->Bytes();
  m_handOverGate.Enter(bytes);
  const bool posted = m_uiCaller.Post([this, batch, bytes] {
    InsertBatch(*batch);
    m_handOverGate.Leave(bytes);
  });
  if (!posted) m_handOverGate.Leave(bytes);
}

void CEnumDialog::InsertBatch(const RowBatch& batch) {
  const bool screenWasShort = m_list.GetItemCount() < m_list.GetCountPerPage();
  const int at = m_list.InsertItems(batch.FirstRow(), static_cast<int>(batch.Rows()),
                                    static_cast<int>(m_bindings.ColumnCount()), batch.Texts());
  // The first screenful is painted without waiting for the repaint interval.
  if (screenWasShort) m_list.FlushPendingRepaint();
  // Stored where the rows went, whatever the loader counted.
  if (at >= 0 && !batch.Bookmarks().Empty()) m_list.SetRowBookmarks(at, batch.Bookmarks());
}

void CEnumDialog::FinishLoading() {
  // One step on the dialog's thread: a close that comes after sees loading
  // cleared and ends the dialog itself; one that came before is honoured here.
  m_bLoading = false;
  m_list.SetRowsLoading(false);
  m_command.Reset();
  // Back to the position saved before a re-query, wherever the list is now.
  m_list.Scroll(CSize(m_nSavedScrollX - m_list.GetScrollPos(SB_HORZ), 0));
  m_list.SetRedraw(TRUE);
  if (m_bStopRequested) {
    CDialog::OnCancel();
    return;
  }
  if (FAILED(m_loadStatus)) ReportLoadFailure();
}

// The rows shown are those read before the failure; the user is told so.
void CEnumDialog::ReportLoadFailure() {
  m_loadStatus = S_OK;
  ShowErrorObject(m_loadError.Detach(), GetSafeHwnd());
}

// The hand-over uses standard locks, so thread checkers see the batch
// texts and the list's state passed between the threads.
void CEnumDialog::CallOnUiThread(const std::function<void()>& work) { m_uiCaller.Call(work); }

void CEnumDialog::WaitForLoader() {
  if (!m_loader.joinable()) return;
  m_bStopRequested = true;
  m_handOverGate.Open();
  // A loader still running has lost its window: its calls are refused, so
  // it reaches its end without this thread.
  m_uiCaller.Close();
  m_loader.join();
}

// ---- re-query sort ---------------------------------------------------------

BOOL CEnumDialog::OnColumnClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  // No sort while rows load, nor after a failed re-query left no rowset.
  if (m_bLoading || !m_pRowset) return TRUE;
  const std::string column = HeadingText(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
  std::string sql;
  ICommandText* command = CommandOfRowset(sql);
  if (!command) return TRUE;
  if (sql.empty() && !ReadCommandText(command, sql)) return TRUE;
  Requery(command, ToggleOrderBy(sql, column));
  return TRUE;
}

std::string CEnumDialog::HeadingText(int column) {
  char heading[kHeadingBufferSize] = "";
  LVCOLUMN info;
  info.mask = LVCF_TEXT;
  info.pszText = heading;
  info.cchTextMax = kHeadingBufferSize;
  m_list.GetColumn(column, &info);
  return heading;
}

// The command that produced the rowset, or a new one on its session that
// selects the named table (then `sql` is set). Null when there is none;
// failures have been reported.
ICommandText* CEnumDialog::CommandOfRowset(std::string& sql) {
  IRowsetInfo* rowsetInfo = nullptr;
  if (FAILED(m_pRowset->QueryInterface(IID_IRowsetInfo, reinterpret_cast<void**>(&rowsetInfo)))) {
    ShowOleDbErrors(m_pRowset, IID_IRowset, GetSafeHwnd(), FALSE);
    return nullptr;
  }
  IUnknown* creator = nullptr;
  const HRESULT hr = rowsetInfo->GetSpecification(IID_ICommandText, &creator);
  // Success without an object means no command, like E_NOINTERFACE.
  if (SUCCEEDED(hr) && creator) {
    ReleaseInterface(rowsetInfo);
    return static_cast<ICommandText*>(creator);
  }
  if (SUCCEEDED(hr) || hr == E_NOINTERFACE) return CommandOnSession(rowsetInfo, sql);
  ShowOleDbErrors(rowsetInfo, IID_IRowsetInfo, GetSafeHwnd(), TRUE);
  return nullptr;
}

// Takes over the reference to rowsetInfo.
ICommandText* CEnumDialog::CommandOnSession(IRowsetInfo* rowsetInfo, std::string& sql) {
  if (m_strTable.empty()) {
    ReleaseInterface(rowsetInfo);
    return nullptr;
  }
  IUnknown* session = nullptr;
  const HRESULT hr = rowsetInfo->GetSpecification(IID_IDBCreateCommand, &session);
  if (FAILED(hr)) {
    ShowOleDbErrors(rowsetInfo, IID_IRowsetInfo, GetSafeHwnd(), TRUE);
    return nullptr;
  }
  ReleaseInterface(rowsetInfo);
  if (!session) return nullptr;  // no session to ask: nothing to sort with
  auto* createCommand = static_cast<IDBCreateCommand*>(session);
  ICommandText* command = nullptr;
  if (FAILED(createCommand->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command)))) {
    ShowOleDbErrors(createCommand, IID_IDBCreateCommand, GetSafeHwnd(), TRUE);
    return nullptr;
  }
  createCommand->Release();
  sql = SelectAllFromTable(m_strTable);
  return command;
}

// Releases the command when it fails.
bool CEnumDialog::ReadCommandText(ICommandText* command, std::string& sql) {
  GUID dialect = DBGUID_DBSQL;
  LPOLESTR text = nullptr;
  if (FAILED(command->GetCommandText(&dialect, &text))) {
    ShowOleDbErrors(command, IID_ICommandText, GetSafeHwnd(), TRUE);
    CoTaskMemFree(text);
    return false;
  }
  sql = text ? OleToAnsi(text) : std::string();
  CoTaskMemFree(text);
  return true;
}

// Takes over the reference to the command.
bool CEnumDialog::Requery(ICommandText* command, const std::string& sql) {
  // The old rowset goes before the new command runs; the grid forgets it.
  ReleaseInterface(m_pRowset);
  m_list.SetRowset(nullptr, m_nHiddenColumns);
  BSTR text = SysAllocString(AnsiToOle(sql).c_str());
  HRESULT hr = command->SetCommandText(DBGUID_DBSQL, text);
  SysFreeString(text);
  if (SUCCEEDED(hr))
    hr = command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&m_pRowset));
  if (FAILED(hr)) {
    m_pRowset = nullptr;
    ShowOleDbErrors(command, IID_ICommandText, GetSafeHwnd(), TRUE);
    return false;
  }
  command->Release();
  if (!m_pRowset) return false;  // the text gave no rowset: the old rows stay
  m_nSavedScrollX = m_list.GetScrollPos(SB_HORZ);
  m_list.SetRedraw(FALSE);
  m_list.DeleteAllItems();
  m_list.SetRowset(m_pRowset, m_nHiddenColumns);
  StartLoader();
  return true;
}

// ---- size ------------------------------------------------------------------

// The template gives the first size; the list then follows the dialog's
// size and the Close button its right edge.
void CEnumDialog::MakeResizable() {
  QWidget* window = GetWidget();
  QWidget* list = m_list.GetWidget();
  QWidget* close = ControlById(IDCANCEL);
  if (!window || !list) return;
  const QSize initial = window->size();
  const int rightMargin = initial.width() - list->geometry().right();
  const int bottomMargin = initial.height() - list->geometry().bottom();
  const int closeFromRight = close ? initial.width() - close->x() : 0;
  window->setMinimumSize(initial / 2);
  window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  new ResizeWatcher(window, [window, list, close, rightMargin, bottomMargin, closeFromRight] {
    const QRect area = list->geometry();
    list->setGeometry(area.left(), area.top(), std::max(0, window->width() - rightMargin - area.left() + 1),
                      std::max(0, window->height() - bottomMargin - area.top() + 1));
    if (close) close->move(window->width() - closeFromRight, close->y());
  });
}
