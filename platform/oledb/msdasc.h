// Service components: building data sources from initialization strings and
// prompting the user for a data source (the Data Links dialog).
#pragma once

#include "oledb.h"
#include "unknwn.h"
#include "wtypes.h"

// Used only by pointer in CreateDBInstanceEx; remote creation is not offered.
struct COSERVERINFO;
struct MULTI_QI;
typedef unsigned char boolean;

typedef DWORD DBPROMPTOPTIONS;
inline constexpr DBPROMPTOPTIONS DBPROMPTOPTIONS_NONE = 0;
inline constexpr DBPROMPTOPTIONS DBPROMPTOPTIONS_WIZARDSHEET = 0x1;
inline constexpr DBPROMPTOPTIONS DBPROMPTOPTIONS_PROPERTYSHEET = 0x2;
inline constexpr DBPROMPTOPTIONS DBPROMPTOPTIONS_BROWSEONLY = 0x8;
inline constexpr DBPROMPTOPTIONS DBPROMPTOPTIONS_DISABLE_PROVIDER_SELECTION = 0x10;
inline constexpr DBPROMPTOPTIONS DBPROMPTOPTIONS_DISABLESAVEPASSWORD = 0x20;

inline constexpr CLSID CLSID_DataLinks = {
    0x2206CDB2, 0x19C1, 0x11D1, {0x89, 0xE0, 0x00, 0xC0, 0x4F, 0xD7, 0xA8, 0x29}};
inline constexpr CLSID CLSID_MSDAINITIALIZE = {
    0x2206CDB0, 0x19C1, 0x11D1, {0x89, 0xE0, 0x00, 0xC0, 0x4F, 0xD7, 0xA8, 0x29}};

DECLARE_INTERFACE_IID(IDBPromptInitialize, IUnknown, 0x2206CCB0, 0x19C1, 0x11D1, 0x89, 0xE0, 0x00,
                      0xC0, 0x4F, 0xD7, 0xA8, 0x29)
struct IDBPromptInitialize : IUnknown {
  // pwszszzProviderFilter is a list of NUL-terminated class identifiers
  // ended by an empty one; null means every provider.
  virtual HRESULT STDMETHODCALLTYPE PromptDataSource(IUnknown* pUnkOuter, HWND hWndParent,
                                                     DBPROMPTOPTIONS dwPromptOptions,
                                                     ULONG cSourceTypeFilter,
                                                     DBSOURCETYPE* rgSourceTypeFilter,
                                                     LPCOLESTR pwszszzProviderFilter, REFIID riid,
                                                     IUnknown** ppDataSource) = 0;
  virtual HRESULT STDMETHODCALLTYPE PromptFileName(HWND hWndParent, DBPROMPTOPTIONS dwPromptOptions,
                                                   LPCOLESTR pwszInitialDirectory,
                                                   LPCOLESTR pwszInitialFile,
                                                   LPOLESTR* ppwszSelectedFile) = 0;
};

DECLARE_INTERFACE_IID(IDataInitialize, IUnknown, 0x2206CCB1, 0x19C1, 0x11D1, 0x89, 0xE0, 0x00, 0xC0,
                      0x4F, 0xD7, 0xA8, 0x29)
struct IDataInitialize : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetDataSource(IUnknown* pUnkOuter, DWORD dwClsCtx,
                                                  LPCOLESTR pwszInitializationString, REFIID riid,
                                                  IUnknown** ppDataSource) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInitializationString(IUnknown* pDataSource,
                                                            boolean fIncludePassword,
                                                            LPOLESTR* ppwszInitString) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateDBInstance(REFCLSID clsidProvider, IUnknown* pUnkOuter,
                                                     DWORD dwClsCtx, LPOLESTR pwszReserved,
                                                     REFIID riid, IUnknown** ppDataSource) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateDBInstanceEx(REFCLSID clsidProvider, IUnknown* pUnkOuter,
                                                       DWORD dwClsCtx, LPOLESTR pwszReserved,
                                                       COSERVERINFO* pServerInfo, ULONG cmq,
                                                       MULTI_QI* rgmqResults) = 0;
  virtual HRESULT STDMETHODCALLTYPE LoadStringFromStorage(LPCOLESTR pwszFileName,
                                                          LPOLESTR* ppwszInitializationString) = 0;
  virtual HRESULT STDMETHODCALLTYPE WriteStringToStorage(LPCOLESTR pwszFileName,
                                                         LPCOLESTR pwszInitializationString,
                                                         DWORD dwCreationDisposition) = 0;
};
