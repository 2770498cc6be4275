// IDBInfo::GetLiteralInfo over a provider's table of literals: every value
// in one task-allocated character buffer.
#pragma once

#include <string>
#include <vector>

#include "oledb.h"

struct LiteralEntry {
  DBLITERAL literal = DBLITERAL_INVALID;
  std::u16string value;  // empty: the literal has no value
  std::u16string invalidChars;
  std::u16string invalidStartingChars;
  ULONG maxLength = ~0u;  // ~0u: no limit of its own
};

// cLiterals 0 asks for every entry; a literal not in `supported` comes back
// with fSupported false (DB_S_ERRORSOCCURRED, or DB_E_ERRORSOCCURRED when none is).
HRESULT FillLiteralInfo(const std::vector<LiteralEntry>& supported, ULONG cLiterals,
                        const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo, DBLITERALINFO** prgLiteralInfo,
                        OLECHAR** ppCharBuffer);
