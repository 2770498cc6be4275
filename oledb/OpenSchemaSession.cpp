#include "OpenSchemaSession.h"

#include "OleDbErrors.h"

HRESULT OpenSchemaSession(IDBInitialize* dataSource, HWND owner, IDBSchemaRowset** session) {
  *session = nullptr;
  IDBCreateSession* createSession = nullptr;
  HRESULT hr = dataSource->QueryInterface(IID_IDBCreateSession, reinterpret_cast<void**>(&createSession));
  if (FAILED(hr)) {
    ShowOleDbErrors(dataSource, IID_IDBInitialize, owner, FALSE);
    return hr;
  }
  hr = createSession->CreateSession(nullptr, IID_IDBSchemaRowset, reinterpret_cast<IUnknown**>(session));
  if (FAILED(hr)) {
    *session = nullptr;
    ShowOleDbErrors(createSession, IID_IDBCreateSession, owner, TRUE);
    return hr;
  }
  createSession->Release();
  return hr;
}
