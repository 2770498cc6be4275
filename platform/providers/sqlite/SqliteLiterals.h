// The naming literals and keywords the provider reports through IDBInfo.
#pragma once

#include "oledb.h"

HRESULT GetSqliteLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                             DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer);
HRESULT GetSqliteKeywords(LPOLESTR* ppwszKeywords);
