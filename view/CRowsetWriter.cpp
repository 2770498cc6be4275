#include "CRowsetWriter.h"

#include <algorithm>
#include <cstring>

#include "BookmarkReader.h"
#include "CBind.h"
#include "ComPtr.h"
#include "DisplayBindings.h"
#include "MessageBox.h"
#include "OleDbErrors.h"
#include "objbase.h"

namespace {

constexpr const char* kNotTheRowShown =
    "The row in the data source no longer holds what the grid shows: it was changed elsewhere, or the grid "
    "lost track of it. Nothing was written.";

// An accessor over the rowset, released with the object.
class ScopedAccessor {
 public:
  ~ScopedAccessor() {
    if (m_accessor && m_handle) m_accessor->ReleaseAccessor(m_handle, nullptr);
  }
  HRESULT Create(IRowset* rowset, const std::vector<DBBINDING>& bindings, DBLENGTH rowSize, HWND owner) {
    HRESULT hr = rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&m_accessor));
    if (FAILED(hr)) {
      ShowOleDbErrors(rowset, IID_IRowset, owner, FALSE);
      return hr;
    }
    std::vector<DBBINDSTATUS> statuses(bindings.size());
    hr = m_accessor->CreateAccessor(DBACCESSOR_ROWDATA, static_cast<DBCOUNTITEM>(bindings.size()), bindings.data(),
                                    rowSize, &m_handle, statuses.data());
    if (FAILED(hr)) {
      m_handle = 0;
      ShowOleDbErrors(m_accessor, IID_IAccessor, owner, FALSE);
    }
    return hr;
  }
  HACCESSOR Handle() const { return m_handle; }

 private:
  ComPtr<IAccessor> m_accessor;
  HACCESSOR m_handle = 0;
};

// A row buffer whose parts are aligned for lengths, statuses and pointers.
class RowBuffer {
 public:
  explicit RowBuffer(size_t size) : m_words((size + 7) / 8 + 1, 0) {}
  BYTE* Data() { return reinterpret_cast<BYTE*>(m_words.data()); }
  template <typename T>
  T& At(DBBYTEOFFSET offset) {
    return *reinterpret_cast<T*>(Data() + offset);
  }

 private:
  std::vector<uint64_t> m_words;
};

DBBINDING TextBinding(DBORDINAL ordinal) {
  DBBINDING binding{};
  binding.iOrdinal = ordinal;
  binding.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  binding.eParamIO = DBPARAMIO_NOTPARAM;
  binding.wType = DBTYPE_STR;
  return binding;
}

// The texts to write, each bound through CBind as DBTYPE_STR with its
// length and a status that says what to do with it (write it, write NULL,
// leave the column alone, or let it take its default). The texts live in
// `storage`, which must outlive `bind`.
bool BindTexts(CBind& bind, std::vector<std::vector<char>>& storage, const std::vector<DBORDINAL>& ordinals,
               const CRowsetWriter::Texts& texts, const std::vector<DBSTATUS>& statuses) {
  storage.clear();
  for (const std::string& text : texts) storage.emplace_back(text.c_str(), text.c_str() + text.size() + 1);
  for (size_t i = 0; i < ordinals.size(); ++i)
    if (!bind.AddBinding(ordinals[i], storage[i].data(), static_cast<DBLENGTH>(storage[i].size()),
                         DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS))
      return false;
  for (size_t i = 0; i < ordinals.size(); ++i)
    std::memcpy(bind.RowBuffer() + bind.Bindings()[i].obStatus, &statuses[i], sizeof(DBSTATUS));
  return true;
}

}  // namespace

CRowsetWriter::CRowsetWriter(IRowset* rowset, int hiddenColumns, HWND owner)
    : m_pRowset(rowset), m_nHiddenColumns(hiddenColumns), m_hOwner(owner) {}

void CRowsetWriter::Refuse(const char* text) const { AfxMessageBox(m_hOwner, text, nullptr, MB_ICONERROR); }

// The shown columns, by the same rules as the viewer's display bindings.
HRESULT CRowsetWriter::LoadColumns() {
  if (m_bColumnsLoaded) return S_OK;
  if (!m_pRowset) return E_POINTER;
  ComPtr<IColumnsInfo> info;
  HRESULT hr = m_pRowset->QueryInterface(IID_IColumnsInfo, reinterpret_cast<void**>(&info));
  if (FAILED(hr)) return hr;
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* strings = nullptr;
  hr = info->GetColumnInfo(&count, &columns, &strings);
  if (FAILED(hr)) return hr;
  const DBORDINAL hidden = m_nHiddenColumns > 0 ? static_cast<DBORDINAL>(m_nHiddenColumns) : 0;
  for (const DisplayColumn& column : ChooseDisplayColumns(columns, count, hidden, 0))
    m_shown.push_back(column.ordinal);
  m_bHasBookmarks =
      std::any_of(columns, columns + count, [](const DBCOLUMNINFO& column) { return column.iOrdinal == 0; });
  CoTaskMemFree(columns);
  CoTaskMemFree(strings);
  m_bColumnsLoaded = true;
  return S_OK;
}

int CRowsetWriter::ShownColumnCount() { return SUCCEEDED(LoadColumns()) ? static_cast<int>(m_shown.size()) : -1; }

HRESULT CRowsetWriter::RequireChange(IRowsetChange** change) {
  *change = nullptr;
  if (!m_pRowset) {
    Refuse("There is no rowset to write the change to.");
    return E_POINTER;
  }
  if (FAILED(m_pRowset->QueryInterface(IID_IRowsetChange, reinterpret_cast<void**>(change)))) {
    Refuse("This rowset cannot be changed: its provider does not allow changes to it.");
    return E_NOINTERFACE;
  }
  if (FAILED(LoadColumns())) {
    (*change)->Release();
    *change = nullptr;
    Refuse("The columns of this rowset cannot be read, so the change cannot be written.");
    return E_FAIL;
  }
  return S_OK;
}

// The row the key names, held, with what it holds now; only a row that
// holds what the grid shows counts, so a write never lands on another row.
HRESULT CRowsetWriter::FindRow(const RowKey& key, HROW& row, std::vector<std::optional<std::string>>& current) {
  row = 0;
  ComPtr<IRowsetLocate> locate;
  HRESULT hr = SUCCEEDED(m_pRowset->QueryInterface(IID_IRowsetLocate, reinterpret_cast<void**>(&locate)))
                   ? FindRowByBookmark(locate, key.bookmark, row)
                   : FindRowByPosition(key, row);
  if (FAILED(hr)) return hr;
  hr = ReadTexts(row, current);
  if (SUCCEEDED(hr) && !Shows(current, key.shown)) {
    Refuse(kNotTheRowShown);
    hr = DB_E_CONCURRENCYVIOLATION;
  }
  if (FAILED(hr)) {
    ReleaseRow(row);
    row = 0;
  }
  return hr;
}

bool CRowsetWriter::Shows(const std::vector<std::optional<std::string>>& held, const Texts& shown) {
  return held.size() == shown.size() &&
         std::equal(held.begin(), held.end(), shown.begin(),
                    [](const auto& value, const std::string& text) { return value.value_or("") == text; });
}

HRESULT CRowsetWriter::FindRowByBookmark(IRowsetLocate* locate, const std::string& bookmark, HROW& row) {
  if (bookmark.empty()) {
    Refuse("This row cannot be found again in the data source: the rowset gives no bookmark for it.");
    return DB_E_BADBOOKMARK;
  }
  const DBBKMARK size = static_cast<DBBKMARK>(bookmark.size());
  const BYTE* data = reinterpret_cast<const BYTE*>(bookmark.data());
  DBROWSTATUS status = DBROWSTATUS_S_OK;
  const HRESULT hr = locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 1, &size, &data, &row, &status);
  if (SUCCEEDED(hr) && status == DBROWSTATUS_S_OK) return S_OK;
  if (FAILED(hr))
    ShowOleDbErrors(locate, IID_IRowsetLocate, m_hOwner, FALSE);
  else
    Refuse("This row cannot be found again in the data source.");
  row = 0;
  return FAILED(hr) ? hr : DB_E_BADBOOKMARK;
}

// Without bookmarks the rowset is read again from its start to the row's
// position; FindRow then checks that the row there is the one shown.
HRESULT CRowsetWriter::FindRowByPosition(const RowKey& key, HROW& row) {
  if (key.position < 0) {
    Refuse("This row cannot be found again in the data source.");
    return DB_E_BADBOOKMARK;
  }
  HRESULT hr = m_pRowset->RestartPosition(DB_NULL_HCHAPTER);
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pRowset, IID_IRowset, m_hOwner, FALSE);
    return hr;
  }
  DBCOUNTITEM obtained = 0;
  HROW* rows = &row;
  hr = m_pRowset->GetNextRows(DB_NULL_HCHAPTER, key.position, 1, &obtained, &rows);
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pRowset, IID_IRowset, m_hOwner, FALSE);
    row = 0;
    return hr;
  }
  if (obtained == 1) return S_OK;
  row = 0;
  Refuse(kNotTheRowShown);
  return DB_E_CONCURRENCYVIOLATION;
}

void CRowsetWriter::ReleaseRow(HROW row) {
  if (row) m_pRowset->ReleaseRows(1, &row, nullptr, nullptr, nullptr);
}

// Each shown column's text as the data source converts it; nullopt for NULL.
HRESULT CRowsetWriter::ReadTexts(HROW row, std::vector<std::optional<std::string>>& texts) {
  constexpr DBBYTEOFFSET kStride = 16;
  std::vector<DBBINDING> bindings;
  for (size_t i = 0; i < m_shown.size(); ++i) {
    DBBINDING binding = TextBinding(m_shown[i]);
    binding.wType = DBTYPE_STR | DBTYPE_BYREF;
    binding.dwPart = DBPART_VALUE | DBPART_STATUS;
    binding.cbMaxLen = sizeof(char*);
    binding.obValue = static_cast<DBBYTEOFFSET>(i * kStride);
    binding.obStatus = static_cast<DBBYTEOFFSET>(i * kStride + sizeof(char*));
    bindings.push_back(binding);
  }
  ScopedAccessor accessor;
  const DBLENGTH rowSize = static_cast<DBLENGTH>(m_shown.size() * kStride);
  HRESULT hr = accessor.Create(m_pRowset, bindings, rowSize, m_hOwner);
  if (FAILED(hr)) return hr;
  RowBuffer buffer(rowSize);
  hr = m_pRowset->GetData(row, accessor.Handle(), buffer.Data());
  texts.assign(m_shown.size(), std::nullopt);
  for (const DBBINDING& binding : bindings) {
    char* text = buffer.At<char*>(binding.obValue);
    if (text && buffer.At<DBSTATUS>(binding.obStatus) != DBSTATUS_S_ISNULL)
      texts[binding.obValue / kStride] = std::string(text);
    CoTaskMemFree(text);
  }
  if (FAILED(hr)) ShowOleDbErrors(m_pRowset, IID_IRowset, m_hOwner, FALSE);
  return hr;
}

HRESULT CRowsetWriter::ReadStored(HROW row, Texts& stored) {
  std::vector<std::optional<std::string>> texts;
  const HRESULT hr = ReadTexts(row, texts);
  stored.clear();
  for (const auto& text : texts) stored.push_back(text.value_or(std::string()));
  return hr;
}

HRESULT CRowsetWriter::MakeWriteAccessor(CBind& bind, std::vector<std::vector<char>>& storage, const Texts& texts,
                                         const std::vector<DBSTATUS>& statuses) {
  if (!BindTexts(bind, storage, m_shown, texts, statuses)) return E_OUTOFMEMORY;
  bind.CreateAccessor(m_pRowset);
  if (bind.HasAccessor()) return S_OK;
  ShowOleDbErrors(m_pRowset, IID_IAccessor, m_hOwner, FALSE);
  return E_FAIL;
}

// Only what differs is written: a value the grid shows exactly as it is (a
// NULL as an empty cell) is left alone.
HRESULT CRowsetWriter::WriteDifferences(IRowsetChange* change, HROW row,
                                        const std::vector<std::optional<std::string>>& current, const Texts& texts) {
  std::vector<DBSTATUS> statuses;
  bool anyChange = false;
  for (size_t i = 0; i < texts.size(); ++i) {
    const bool same = current[i].value_or(std::string()) == texts[i];
    anyChange = anyChange || !same;
    statuses.push_back(same ? DBSTATUS_S_IGNORE : texts[i].empty() ? DBSTATUS_S_ISNULL : DBSTATUS_S_OK);
  }
  if (!anyChange) return S_OK;
  std::vector<std::vector<char>> storage;
  CBind bind;
  HRESULT hr = MakeWriteAccessor(bind, storage, texts, statuses);
  if (FAILED(hr)) return hr;
  hr = change->SetData(row, bind.AccessorHandle(), bind.RowBuffer());
  if (FAILED(hr)) ShowOleDbErrors(change, IID_IRowsetChange, m_hOwner, FALSE);
  return hr;
}

HRESULT CRowsetWriter::UpdateRow(const RowKey& key, const Texts& texts, Texts& stored) {
  ComPtr<IRowsetChange> change;
  HRESULT hr = RequireChange(&change);
  if (FAILED(hr)) return hr;
  if (texts.size() != m_shown.size()) {
    Refuse("The grid's columns do not match the rowset's columns; the change cannot be written.");
    return E_INVALIDARG;
  }
  HROW row = 0;
  std::vector<std::optional<std::string>> current;
  hr = FindRow(key, row, current);
  if (FAILED(hr)) return hr;
  hr = WriteDifferences(change, row, current, texts);
  if (SUCCEEDED(hr)) ReadStored(row, stored);
  ReleaseRow(row);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CRowsetWriter::InsertRow(const Texts& texts, std::string& bookmark, Texts& stored) {
  bookmark.clear();
  ComPtr<IRowsetChange> change;
  HRESULT hr = RequireChange(&change);
  if (FAILED(hr)) return hr;
  if (texts.size() != m_shown.size()) {
    Refuse("The grid's columns do not match the rowset's columns; the row cannot be added.");
    return E_INVALIDARG;
  }
  std::vector<DBSTATUS> statuses;
  for (const std::string& text : texts) statuses.push_back(text.empty() ? DBSTATUS_S_DEFAULT : DBSTATUS_S_OK);
  std::vector<std::vector<char>> storage;
  CBind bind;
  hr = MakeWriteAccessor(bind, storage, texts, statuses);
  if (FAILED(hr)) return hr;
  HROW row = 0;
  hr = change->InsertRow(DB_NULL_HCHAPTER, bind.AccessorHandle(), bind.RowBuffer(), &row);
  if (FAILED(hr)) {
    ShowOleDbErrors(change, IID_IRowsetChange, m_hOwner, FALSE);
    return hr;
  }
  if (row) {
    std::vector<std::string> bookmarks;
    if (m_bHasBookmarks && SUCCEEDED(ReadBookmarks(&row, 1, bookmarks))) bookmark = bookmarks[0];
    ReadStored(row, stored);
    ReleaseRow(row);
  } else {
    stored = texts;
  }
  return S_OK;
}

HRESULT CRowsetWriter::DeleteRow(const RowKey& key) {
  ComPtr<IRowsetChange> change;
  HRESULT hr = RequireChange(&change);
  if (FAILED(hr)) return hr;
  HROW row = 0;
  std::vector<std::optional<std::string>> current;
  hr = FindRow(key, row, current);
  if (FAILED(hr)) return hr;
  DBROWSTATUS status = DBROWSTATUS_S_OK;
  hr = change->DeleteRows(DB_NULL_HCHAPTER, 1, &row, &status);
  if (FAILED(hr)) ShowOleDbErrors(change, IID_IRowsetChange, m_hOwner, FALSE);
  ReleaseRow(row);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CRowsetWriter::ReadBookmarks(const HROW* rows, DBCOUNTITEM count, std::vector<std::string>& bookmarks) {
  bookmarks.assign(count, std::string());
  if (!m_pRowset || (count && !rows)) return E_INVALIDARG;
  BookmarkReader reader(m_pRowset);
  if (!reader.IsOpen()) return DB_E_BADBINDINFO;
  for (DBCOUNTITEM i = 0; i < count; ++i) bookmarks[i] = reader.Read(rows[i]);
  return S_OK;
}

HRESULT CRowsetWriter::BookmarksByPosition(DBROWOFFSET first, DBCOUNTITEM count, std::vector<std::string>& bookmarks) {
  bookmarks.assign(count, std::string());
  if (!m_pRowset) return E_POINTER;
  ComPtr<IRowsetLocate> locate;
  HRESULT hr = m_pRowset->QueryInterface(IID_IRowsetLocate, reinterpret_cast<void**>(&locate));
  if (FAILED(hr)) return hr;
  constexpr DBCOUNTITEM kBatch = 20;
  for (DBCOUNTITEM done = 0; done < count;) {
    const BYTE start = DBBMK_FIRST;
    DBCOUNTITEM obtained = 0;
    HROW* rows = nullptr;
    const DBCOUNTITEM wanted = std::min(kBatch, count - done);
    hr = locate->GetRowsAt(0, DB_NULL_HCHAPTER, 1, &start, first + static_cast<DBROWOFFSET>(done),
                           static_cast<DBROWCOUNT>(wanted), &obtained, &rows);
    std::vector<std::string> batch;
    if (obtained) {
      ReadBookmarks(rows, obtained, batch);
      m_pRowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    }
    CoTaskMemFree(rows);
    for (DBCOUNTITEM i = 0; i < obtained; ++i) bookmarks[done + i] = std::move(batch[i]);
    if (FAILED(hr) || obtained == 0) break;
    done += obtained;
  }
  return FAILED(hr) ? hr : S_OK;
}
