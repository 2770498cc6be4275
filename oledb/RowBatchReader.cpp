#include "RowBatchReader.h"

#include "objbase.h"

DBCOUNTITEM RowBatchReader::FetchNext(HROW* rows) {
  DBCOUNTITEM obtained = 0;
  // The provider fills our array when it is given one.
  HROW* handles = rows;
  m_fetchStatus = m_pRowset->GetNextRows(DB_NULL_HCHAPTER, 0, kBatchRows, &obtained, &handles);
  if (FAILED(m_fetchStatus)) {
    m_fetchError.Reset();
    GetErrorInfo(0, &m_fetchError);
    // A failed call hands out no rows.
    obtained = 0;
  }
  return obtained;
}

HRESULT RowBatchReader::ReadAll(const BatchHandler& onBatch, const StopRequest& stopRequested) {
  if (!m_pRowset) return E_INVALIDARG;
  auto* rows = static_cast<HROW*>(CoTaskMemAlloc(sizeof(HROW) * kBatchRows));
  if (!rows) return E_OUTOFMEMORY;
  DBCOUNTITEM obtained = FetchNext(rows);
  bool stopped = stopRequested && stopRequested();
  while (obtained != 0 && !stopped) {
    onBatch(rows, obtained);
    m_pRowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    obtained = FetchNext(rows);
    stopped = stopRequested && stopRequested();
  }
  m_pRowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
  CoTaskMemFree(rows);
  return FAILED(m_fetchStatus) ? m_fetchStatus : S_OK;
}
