#include "ProviderTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>

#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

ComApartment::ComApartment() { CoInitialize(nullptr); }
ComApartment::~ComApartment() { CoUninitialize(); }

namespace {

VARIANT TextVariant(const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  std::u16string wide = AnsiToOle(text);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return v;
}

// Fetches every row in batches of 20, hands each to `visit`, and releases
// the batch.
void ForEachRow(IRowset* rowset, const std::function<void(HROW)>& visit) {
  HROW handles[20];
  for (;;) {
    DBCOUNTITEM obtained = 0;
    HROW* p = handles;
    rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p);
    if (obtained == 0) break;
    for (DBCOUNTITEM r = 0; r < obtained; ++r) visit(handles[r]);
    rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
  }
}

}  // namespace

ComPtr<IDBInitialize> CreateDataSource(REFCLSID clsid, const std::string& dataSource,
                                       std::optional<LONG> mode) {
  ComPtr<IDBInitialize> init;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                              reinterpret_cast<void**>(&init))))
    return nullptr;
  DBPROP props[2] = {};
  props[0].dwPropertyID = DBPROP_INIT_DATASOURCE;
  props[0].vValue = TextVariant(dataSource);
  ULONG count = 1;
  if (mode) {
    props[1].dwPropertyID = DBPROP_INIT_MODE;
    props[1].vValue.vt = VT_I4;
    props[1].vValue.lVal = *mode;
    count = 2;
  }
  DBPROPSET set{props, count, DBPROPSET_DBINIT};
  auto properties = init.As<IDBProperties>();
  HRESULT hr = properties->SetProperties(1, &set);
  VariantClear(&props[0].vValue);
  if (FAILED(hr)) return nullptr;
  return init;
}

ComPtr<IDBInitialize> OpenDataSource(REFCLSID clsid, const std::string& dataSource,
                                     std::optional<LONG> mode) {
  auto init = CreateDataSource(clsid, dataSource, mode);
  if (!init || FAILED(init->Initialize())) return nullptr;
  return init;
}

ComPtr<IUnknown> CreateSession(IDBInitialize* dataSource) {
  ComPtr<IDBCreateSession> create;
  ComPtr<IUnknown> session;
  if (!dataSource || FAILED(dataSource->QueryInterface(IID_IDBCreateSession, reinterpret_cast<void**>(&create))))
    return nullptr;
  if (FAILED(create->CreateSession(nullptr, IID_IUnknown, &session))) return nullptr;
  return session;
}

CommandResult Execute(IUnknown* session, const std::string& sql,
                      const std::vector<RowsetProperty>& properties, ComPtr<ICommandText>* keep) {
  CommandResult result;
  ComPtr<IDBCreateCommand> create;
  ComPtr<ICommandText> command;
  if (FAILED(session->QueryInterface(IID_IDBCreateCommand, reinterpret_cast<void**>(&create))) ||
      FAILED(create->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command))))
    return result;
  std::u16string text = AnsiToOle(sql);
  result.hr = command->SetCommandText(DBGUID_DBSQL, text.c_str());
  if (FAILED(result.hr)) return result;
  if (!properties.empty()) {
    std::vector<DBPROP> props(properties.size());
    for (size_t i = 0; i < properties.size(); ++i) {
      props[i] = {};
      props[i].dwPropertyID = properties[i].id;
      props[i].dwOptions = DBPROPOPTIONS_REQUIRED;
      if (properties[i].isBool) {
        props[i].vValue.vt = VT_BOOL;
        props[i].vValue.boolVal = properties[i].value ? VARIANT_TRUE : VARIANT_FALSE;
      } else {
        props[i].vValue.vt = VT_I4;
        props[i].vValue.lVal = properties[i].value;
      }
    }
    DBPROPSET set{props.data(), static_cast<ULONG>(props.size()), DBPROPSET_ROWSET};
    result.hr = command.As<ICommandProperties>()->SetProperties(1, &set);
    if (FAILED(result.hr)) return result;
  }
  result.hr = command->Execute(nullptr, IID_IRowset, nullptr, &result.rowsAffected,
                               reinterpret_cast<IUnknown**>(&result.rowset));
  if (keep) *keep = command;
  return result;
}

std::vector<DBCOLUMNINFO> ColumnInfo(IUnknown* rowset) {
  std::vector<DBCOLUMNINFO> out;
  ComPtr<IColumnsInfo> info;
  if (FAILED(rowset->QueryInterface(IID_IColumnsInfo, reinterpret_cast<void**>(&info)))) return out;
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* strings = nullptr;
  if (FAILED(info->GetColumnInfo(&count, &columns, &strings))) return out;
  out.assign(columns, columns + count);
  for (auto& c : out) c.pwszName = nullptr;  // the strings are freed below
  CoTaskMemFree(columns);
  CoTaskMemFree(strings);
  return out;
}

std::vector<std::string> ColumnNames(IUnknown* rowset) {
  std::vector<std::string> names;
  ComPtr<IColumnsInfo> info;
  if (FAILED(rowset->QueryInterface(IID_IColumnsInfo, reinterpret_cast<void**>(&info)))) return names;
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* strings = nullptr;
  if (FAILED(info->GetColumnInfo(&count, &columns, &strings))) return names;
  for (DBORDINAL i = 0; i < count; ++i)
    if (columns[i].iOrdinal != 0) names.push_back(columns[i].pwszName ? OleToAnsi(columns[i].pwszName) : "");
  CoTaskMemFree(columns);
  CoTaskMemFree(strings);
  return names;
}

std::vector<TextRow> ReadAll(IRowset* rowset) {
  std::vector<TextRow> rows;
  auto columns = ColumnInfo(rowset);
  std::vector<DBBINDING> bindings;
  for (const auto& c : columns) {
    if (c.iOrdinal == 0) continue;
    DBBINDING b{};
    b.iOrdinal = c.iOrdinal;
    b.obValue = static_cast<DBBYTEOFFSET>(bindings.size() * (sizeof(char*) + sizeof(DBSTATUS) * 2));
    b.obStatus = b.obValue + sizeof(char*);
    b.dwPart = DBPART_VALUE | DBPART_STATUS;
    b.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    b.cbMaxLen = sizeof(char*);
    b.wType = DBTYPE_STR | DBTYPE_BYREF;
    bindings.push_back(b);
  }
  size_t rowSize = bindings.size() * (sizeof(char*) + sizeof(DBSTATUS) * 2);
  auto accessor = ComPtr<IRowset>(rowset).As<IAccessor>();
  HACCESSOR handle = 0;
  std::vector<DBBINDSTATUS> statuses(bindings.size());
  if (FAILED(accessor->CreateAccessor(DBACCESSOR_ROWDATA, bindings.size(), bindings.data(),
                                      static_cast<DBLENGTH>(rowSize), &handle, statuses.data())))
    return rows;
  std::vector<BYTE> buffer(rowSize);
  ForEachRow(rowset, [&](HROW hRow) {
    std::fill(buffer.begin(), buffer.end(), 0);
    rowset->GetData(hRow, handle, buffer.data());
    TextRow row;
    for (const auto& b : bindings) {
      char* text = *reinterpret_cast<char**>(buffer.data() + b.obValue);
      DBSTATUS status = *reinterpret_cast<DBSTATUS*>(buffer.data() + b.obStatus);
      if (status == DBSTATUS_S_ISNULL || !text) row.push_back(std::nullopt);
      else row.push_back(std::string(text));
      CoTaskMemFree(text);
    }
    rows.push_back(std::move(row));
  });
  accessor->ReleaseAccessor(handle, nullptr);
  return rows;
}

std::vector<BufferedText> ReadColumnBuffered(IRowset* rowset, DBORDINAL ordinal) {
  std::vector<BufferedText> out;
  DBBINDING b{};
  b.iOrdinal = ordinal;
  b.obValue = 0;
  b.obLength = 256;
  b.obStatus = 260;
  b.dwPart = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
  b.cbMaxLen = 256;
  b.wType = DBTYPE_STR;
  auto accessor = ComPtr<IRowset>(rowset).As<IAccessor>();
  HACCESSOR handle = 0;
  DBBINDSTATUS status = 0;
  if (FAILED(accessor->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 264, &handle, &status))) return out;
  BYTE buffer[264];
  ForEachRow(rowset, [&](HROW hRow) {
    std::memset(buffer, 0, sizeof buffer);
    rowset->GetData(hRow, handle, buffer);
    BufferedText t;
    t.text = reinterpret_cast<char*>(buffer);
    std::memcpy(&t.length, buffer + 256, sizeof t.length);
    std::memcpy(&t.status, buffer + 260, sizeof t.status);
    out.push_back(t);
  });
  accessor->ReleaseAccessor(handle, nullptr);
  return out;
}

std::vector<std::string> TakeErrorDescriptions() {
  std::vector<std::string> out;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return out;
  auto records = info.As<IErrorRecords>();
  if (!records) return out;
  ULONG count = 0;
  records->GetRecordCount(&count);
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IErrorInfo> record;
    if (FAILED(records->GetErrorInfo(i, 0, &record))) continue;
    BSTR text = nullptr;
    record->GetDescription(&text);
    out.push_back(text ? OleToAnsi(text) : "");
    SysFreeString(text);
  }
  return out;
}

testing::AssertionResult TookOneRecord(HRESULT hr, REFIID iid, REFCLSID clsid) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return testing::AssertionFailure() << "no error object";
  auto records = info.As<IErrorRecords>();
  ULONG count = 0;
  if (!records || FAILED(records->GetRecordCount(&count)) || count != 1)
    return testing::AssertionFailure() << count << " records instead of one";
  ERRORINFO basic{};
  records->GetBasicErrorInfo(0, &basic);
  if (basic.hrError != hr)
    return testing::AssertionFailure() << std::hex << "the record says 0x" << basic.hrError << ", not 0x" << hr;
  if (basic.iid != iid) return testing::AssertionFailure() << "the record names another interface";
  if (basic.clsid != clsid) return testing::AssertionFailure() << "the record names another provider";
  return testing::AssertionSuccess();
}

ComPtr<IRowset> SchemaRowset(IUnknown* session, REFGUID schema,
                             const std::vector<std::optional<std::string>>& restrictions,
                             HRESULT* hrOut) {
  ComPtr<IDBSchemaRowset> schemas;
  ComPtr<IRowset> rowset;
  HRESULT hr = session->QueryInterface(IID_IDBSchemaRowset, reinterpret_cast<void**>(&schemas));
  std::vector<VARIANT> values(restrictions.size());
  for (size_t i = 0; i < restrictions.size(); ++i) {
    VariantInit(&values[i]);
    if (restrictions[i]) values[i] = TextVariant(*restrictions[i]);
  }
  if (SUCCEEDED(hr))
    hr = schemas->GetRowset(nullptr, schema, static_cast<ULONG>(values.size()), values.data(),
                            IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  for (auto& v : values) VariantClear(&v);
  if (hrOut) *hrOut = hr;
  return rowset;
}

TempFileCopy::TempFileCopy(const std::string& source) {
  std::string pattern = (std::filesystem::temp_directory_path() / "ravezov-test-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd >= 0) close(fd);
  m_path = name.data();
  std::filesystem::copy_file(source, m_path, std::filesystem::copy_options::overwrite_existing);
}

TempFileCopy::~TempFileCopy() {
  std::error_code ignored;
  std::filesystem::remove(m_path, ignored);
}

HACCESSOR KeyedRowAccessor(IUnknown* rowset, DBORDINAL keyOrdinal, DBORDINAL valueOrdinal, DBLENGTH valueWidth) {
  DBBINDING b[3] = {};
  b[0].iOrdinal = 0;
  b[0].obValue = offsetof(KeyedRow, bookmark);
  b[0].dwPart = DBPART_VALUE;
  b[0].cbMaxLen = sizeof(DBBKMARK);
  b[0].wType = DBTYPE_BYTES;
  const DBORDINAL ordinals[2] = {keyOrdinal, valueOrdinal};
  const size_t values[2] = {offsetof(KeyedRow, key), offsetof(KeyedRow, value)};
  const size_t statuses[2] = {offsetof(KeyedRow, keyStatus), offsetof(KeyedRow, valueStatus)};
  const DBLENGTH sizes[2] = {sizeof(KeyedRow::key), std::min<DBLENGTH>(valueWidth, sizeof(KeyedRow::value))};
  for (int i = 0; i < 2; ++i) {
    b[i + 1].iOrdinal = ordinals[i];
    b[i + 1].obValue = values[i];
    b[i + 1].obStatus = statuses[i];
    b[i + 1].dwPart = DBPART_VALUE | DBPART_STATUS;
    b[i + 1].cbMaxLen = sizes[i];
    b[i + 1].wType = DBTYPE_STR;
  }
  HACCESSOR accessor = 0;
  DBBINDSTATUS status[3] = {};
  EXPECT_EQ(ComPtr<IUnknown>(rowset).As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 3, b, sizeof(KeyedRow),
                                                                    &accessor, status),
            S_OK);
  return accessor;
}

HACCESSOR TextAccessor(IUnknown* rowset, DBORDINAL ordinal, DBLENGTH width) {
  DBBINDING b{};
  b.iOrdinal = ordinal;
  b.dwPart = DBPART_VALUE;
  b.cbMaxLen = width;
  b.wType = DBTYPE_STR;
  HACCESSOR accessor = 0;
  DBBINDSTATUS status = 0;
  EXPECT_EQ(ComPtr<IUnknown>(rowset).As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, width, &accessor,
                                                                    &status),
            S_OK);
  return accessor;
}

std::vector<DBBKMARK> ReadReleasingAll(IRowset* rowset, HACCESSOR accessor, const std::vector<std::string>& wanted,
                                       size_t& total) {
  std::vector<DBBKMARK> found(wanted.size());
  total = 0;
  for (;;) {
    HROW rows[20];
    HROW* p = rows;
    DBCOUNTITEM obtained = 0;
    EXPECT_TRUE(SUCCEEDED(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p)));
    if (obtained == 0) break;
    for (DBCOUNTITEM r = 0; r < obtained; ++r) {
      KeyedRow row{};
      EXPECT_EQ(rowset->GetData(rows[r], accessor, &row), S_OK);
      for (size_t w = 0; w < wanted.size(); ++w)
        if (wanted[w] == row.key) found[w] = row.bookmark;
    }
    rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    total += obtained;
  }
  return found;
}
