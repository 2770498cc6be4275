#include "ProviderScan.h"

#include <benchmark/benchmark.h>

#include <cstring>

#include "ScanDatabase.h"
#include "SqliteProvider.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

ComPtr<IDBCreateCommand> OpenSession(const std::string& path, LONG mode) {
  ComPtr<IDBInitialize> init;
  CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                   reinterpret_cast<void**>(&init));
  DBPROP props[2] = {};
  props[0].dwPropertyID = DBPROP_INIT_DATASOURCE;
  props[0].vValue.vt = VT_BSTR;
  props[0].vValue.bstrVal = SysAllocString(AnsiToOle(path).c_str());
  props[1].dwPropertyID = DBPROP_INIT_MODE;
  props[1].vValue.vt = VT_I4;
  props[1].vValue.lVal = mode;
  DBPROPSET set{props, 2, DBPROPSET_DBINIT};
  init.As<IDBProperties>()->SetProperties(1, &set);
  VariantClear(&props[0].vValue);
  ComPtr<IDBCreateCommand> session;
  if (FAILED(init->Initialize())) return session;
  init.As<IDBCreateSession>()->CreateSession(nullptr, IID_IDBCreateCommand,
                                             reinterpret_cast<IUnknown**>(&session));
  return session;
}

ComPtr<ICommandText> Command(IDBCreateCommand* session, const char* query) {
  ComPtr<ICommandText> command;
  session->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command));
  command->SetCommandText(DBGUID_DBSQL, AnsiToOle(query).c_str());
  return command;
}

}  // namespace

ComPtr<IDBCreateCommand> OpenReadOnlySession(const std::string& path) { return OpenSession(path, DB_MODE_READ); }

ComPtr<IDBCreateCommand> OpenReadWriteSession(const std::string& path) {
  return OpenSession(path, DB_MODE_READWRITE);
}

namespace {

ComPtr<IRowset> ExecuteWithLocate(IDBCreateCommand* session, const char* query, DBPROPOPTIONS changeOptions) {
  ComPtr<ICommandText> command = Command(session, query);
  DBPROP props[2] = {};
  for (DBPROP& prop : props) {
    prop.dwOptions = DBPROPOPTIONS_REQUIRED;
    prop.vValue.vt = VT_BOOL;
    prop.vValue.boolVal = VARIANT_TRUE;
  }
  props[0].dwPropertyID = DBPROP_IRowsetLocate;
  props[1].dwPropertyID = DBPROP_IRowsetChange;
  props[1].dwOptions = changeOptions;
  DBPROPSET set{props, 2, DBPROPSET_ROWSET};
  command.As<ICommandProperties>()->SetProperties(1, &set);
  ComPtr<IRowset> rowset;
  command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  return rowset;
}

}  // namespace

ComPtr<IRowset> ExecuteAsTableData(IDBCreateCommand* session, const char* query) {
  return ExecuteWithLocate(session, query, DBPROPOPTIONS_REQUIRED);
}

ComPtr<IRowset> ExecuteWithBookmarks(IDBCreateCommand* session, const char* query) {
  return ExecuteWithLocate(session, query, DBPROPOPTIONS_OPTIONAL);
}

ComPtr<IRowset> ExecuteQuery(IDBCreateCommand* session, const char* query) {
  ComPtr<ICommandText> command = Command(session, query);
  ComPtr<IRowset> rowset;
  command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  return rowset;
}

size_t ScanAsViewer(IRowset* rowset) {
  DBBINDING bindings[kScanColumns] = {};
  for (int c = 0; c < kScanColumns; ++c) {
    bindings[c].iOrdinal = static_cast<DBORDINAL>(c + 1);
    bindings[c].obValue = static_cast<DBBYTEOFFSET>(c * sizeof(char*));
    bindings[c].dwPart = DBPART_VALUE;
    bindings[c].dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    bindings[c].cbMaxLen = sizeof(char*);
    bindings[c].wType = DBTYPE_STR | DBTYPE_BYREF;
  }
  ComPtr<IAccessor> accessor;
  rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&accessor));
  HACCESSOR handle = 0;
  DBBINDSTATUS statuses[kScanColumns];
  accessor->CreateAccessor(DBACCESSOR_ROWDATA, kScanColumns, bindings, sizeof(char*) * kScanColumns,
                           &handle, statuses);
  size_t bytes = 0;
  char* row[kScanColumns];
  HROW rows[20];
  for (;;) {
    DBCOUNTITEM obtained = 0;
    HROW* p = rows;
    rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p);
    if (obtained == 0) break;
    for (DBCOUNTITEM r = 0; r < obtained; ++r) {
      std::memset(row, 0, sizeof row);
      rowset->GetData(rows[r], handle, row);
      for (char* text : row) {
        if (text) bytes += std::strlen(text);
        benchmark::DoNotOptimize(text);
        CoTaskMemFree(text);
      }
    }
    rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
  }
  accessor->ReleaseAccessor(handle, nullptr);
  return bytes;
}
