// The modal rowset viewer: binds every column of a rowset as text, loads
// its rows into the result list on a loader thread while the dialog stays
// responsive, and re-sorts a rowset that a command produced (or that names
// a table) when a column heading is clicked.
//
// The loader changes the list only through calls carried out on the
// dialog's thread, in the order it makes them; one call carries one or
// more whole batches of rows, never a single cell. Rows are handed over
// without waiting, so the loader reads the next rows while the list stores
// the last ones; it waits only when the list falls far behind, and for
// its last call, which ends the load. Closing
// while rows load only requests a stop, which the loader honours after the
// current batch; it then ends the dialog. While the provider is still
// computing the first rows, the close also cancels the command that
// produced them, so a slow query does not hold the dialog open. A fetch that
// fails part-way is reported when loading ends (unless the user asked to
// stop), never taken for the end of the rows.
//
// An edit not yet written is written before the dialog closes; when that
// fails the dialog stays open with the edit in its cell.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "CCustListCtrl.h"
#include "CDialog.h"
#include "ComPtr.h"
#include "DisplayBindings.h"
#include "HandOverGate.h"
#include "UiThreadCall.h"
#include "UiThreadCaller.h"
#include "oleauto.h"
#include "oledb.h"

class BatchHandOver;
class RowBatch;

class CEnumDialog : public CDialog {
 public:
  // Takes over the caller's reference to `rowset`.
  CEnumDialog(IRowset* rowset, LPCSTR caption, int maxChars, CWnd* parent = nullptr);
  ~CEnumDialog() override;

  // Set before DoModal.
  void SetTableName(LPCSTR table) { m_strTable = table ? table : ""; }
  void SetHiddenColumns(int count) { m_nHiddenColumns = count < 0 ? 0 : count; }
  void SetEditingEnabled(BOOL enabled) { m_bEditingEnabled = enabled; }

  bool IsLoading() const { return m_bLoading.load(); }
  IRowset* GetRowset() const { return m_pRowset; }
  CCustListCtrl& List() { return m_list; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnColumnClick(NMHDR* header, LRESULT* result);

 private:
  void StartLoader();
  void RowLoader();
  void FetchRows();
  // Sends the pending rows to the dialog's thread, where they are inserted
  // and their texts freed.
  void HandOver(BatchHandOver& pending);
  void InsertBatch(const RowBatch& batch);
  void FinishLoading();
  void ReportLoadFailure();
  void CallOnUiThread(const std::function<void()>& work);
  void WaitForLoader();

  // Re-query sort, one step each.
  ICommandText* CommandOfRowset(std::string& sql);
  ICommandText* CommandOnSession(IRowsetInfo* rowsetInfo, std::string& sql);
  bool ReadCommandText(ICommandText* command, std::string& sql);
  bool Requery(ICommandText* command, const std::string& sql);
  std::string HeadingText(int column);

  void MakeResizable();

  IRowset* m_pRowset;
  int m_nMaxChars;
  std::string m_strCaption;
  std::atomic<bool> m_bStopRequested{false};
  std::atomic<bool> m_bLoading{false};
  // Set once the loader's first fetch has returned.
  std::atomic<bool> m_bFirstFetchDone{false};
  // The command that produced the rowset, to cancel a slow first fetch;
  // held and used on the dialog's thread only, while rows load.
  ComPtr<ICommand> m_command;
  // A fetch that failed, and its error object (written by the loader,
  // read after its last hand-over).
  HRESULT m_loadStatus = S_OK;
  ComPtr<IErrorInfo> m_loadError;
  int m_nSavedScrollX = 0;
  DisplayBindings m_bindings;
  std::thread m_loader;
  CCustListCtrl m_list;
  int m_nHiddenColumns = 0;
  std::string m_strTable;
  BOOL m_bEditingEnabled = FALSE;
  // Rows handed over and not yet in the list; the loader reads ahead of
  // the list by at most about this many bytes of them.
  static constexpr size_t kMaxBytesOnTheirWay = size_t{2} << 20;
  HandOverGate m_handOverGate;
  // Runs the loader's calls on the dialog's thread (its waiting calls and
  // its handed-over rows); it outlives the dialog's window, so the loader
  // is always answered, and it is destroyed first, dropping rows not yet
  // inserted.
  UiThreadCaller m_uiCaller;
};
