// Reads a rowset 20 row handles at a time until the provider gives no more
// rows, or until the caller asks to stop (checked after every fetch).
#pragma once

#include <functional>

#include "ComPtr.h"
#include "oleauto.h"
#include "oledb.h"

class RowBatchReader {
 public:
  static constexpr DBROWCOUNT kBatchRows = 20;

  // Handles one batch of obtained rows, in order.
  using BatchHandler = std::function<void(const HROW* rows, DBCOUNTITEM count)>;
  using StopRequest = std::function<bool()>;

  explicit RowBatchReader(IRowset* rowset) : m_pRowset(rowset) {}

  // Fetches, hands each non-empty batch over and releases it. The handles
  // obtained last are released at the end: the unread batch when stopped,
  // none when the rowset ran out. E_OUTOFMEMORY when the handle array
  // cannot be had; a fetch that fails ends the reading and its status is
  // returned (a failure is never taken for the end of the rowset); S_OK
  // otherwise.
  HRESULT ReadAll(const BatchHandler& onBatch, const StopRequest& stopRequested = {});
  // The error object the provider left for the failed fetch, taken from
  // the reading thread at once (later calls would clear it); null if none.
  ComPtr<IErrorInfo> TakeFetchError() { return std::move(m_fetchError); }

 private:
  DBCOUNTITEM FetchNext(HROW* rows);

  IRowset* m_pRowset;
  HRESULT m_fetchStatus = S_OK;
  ComPtr<IErrorInfo> m_fetchError;
};
