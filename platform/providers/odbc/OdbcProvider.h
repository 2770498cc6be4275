// The ODBC provider's and the ODBC enumerator's public face: class ids and names.
#pragma once

#include <string_view>

#include "oledb.h"

// {6B0F3A52-8E0C-4C1D-9A57-2E8D41C7B3A1}
inline constexpr CLSID CLSID_RavezovODBC = {
    0x6B0F3A52, 0x8E0C, 0x4C1D, {0x9A, 0x57, 0x2E, 0x8D, 0x41, 0xC7, 0xB3, 0xA1}};
// {6B0F3A53-8E0C-4C1D-9A57-2E8D41C7B3A1}
inline constexpr CLSID CLSID_RavezovODBCEnumerator = {
    0x6B0F3A53, 0x8E0C, 0x4C1D, {0x9A, 0x57, 0x2E, 0x8D, 0x41, 0xC7, 0xB3, 0xA1}};

inline constexpr const char* kOdbcProgId = "Ravezov.ODBC";
inline constexpr const char* kOdbcDescription = "Ravezov OLE DB Provider for ODBC Drivers";
inline constexpr const char* kOdbcEnumeratorProgId = "Ravezov.ODBC.Enumerator";
inline constexpr const char* kOdbcEnumeratorDescription = "Ravezov ODBC Data Source Enumerator";
inline constexpr std::u16string_view kOdbcErrorSource = u"Ravezov.ODBC";

HRESULT CreateOdbcDataSource(REFIID riid, void** ppv);
HRESULT CreateOdbcEnumerator(REFIID riid, void** ppv);
