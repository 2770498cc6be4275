#include "LiteralInfo.h"

#include <cstring>

#include "objbase.h"

namespace {

const LiteralEntry* Find(const std::vector<LiteralEntry>& entries, DBLITERAL lt) {
  for (const auto& e : entries)
    if (e.literal == lt) return &e;
  return nullptr;
}

size_t Units(const std::u16string& s) { return s.empty() ? 0 : s.size() + 1; }

}  // namespace

HRESULT FillLiteralInfo(const std::vector<LiteralEntry>& supported, ULONG cLiterals,
                        const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo, DBLITERALINFO** prgLiteralInfo,
                        OLECHAR** ppCharBuffer) {
  if (pcLiteralInfo) *pcLiteralInfo = 0;
  if (prgLiteralInfo) *prgLiteralInfo = nullptr;
  if (ppCharBuffer) *ppCharBuffer = nullptr;
  if (!pcLiteralInfo || !prgLiteralInfo || !ppCharBuffer || (cLiterals && !rgLiterals)) return E_INVALIDARG;

  std::vector<DBLITERAL> asked;
  if (cLiterals == 0) {
    for (const auto& e : supported) asked.push_back(e.literal);
  } else {
    asked.assign(rgLiterals, rgLiterals + cLiterals);
  }
  size_t units = 0;
  for (DBLITERAL lt : asked)
    if (const LiteralEntry* e = Find(supported, lt))
      units += Units(e->value) + Units(e->invalidChars) + Units(e->invalidStartingChars);
  auto* infos = static_cast<DBLITERALINFO*>(CoTaskMemAlloc(sizeof(DBLITERALINFO) * (asked.empty() ? 1 : asked.size())));
  auto* buffer = units ? static_cast<OLECHAR*>(CoTaskMemAlloc(units * sizeof(OLECHAR))) : nullptr;
  if (!infos || (units && !buffer)) {
    CoTaskMemFree(infos);
    CoTaskMemFree(buffer);
    return E_OUTOFMEMORY;
  }
  OLECHAR* next = buffer;
  auto place = [&](const std::u16string& s) -> LPOLESTR {
    if (s.empty()) return nullptr;
    std::memcpy(next, s.c_str(), (s.size() + 1) * sizeof(OLECHAR));
    LPOLESTR at = next;
    next += s.size() + 1;
    return at;
  };
  size_t unsupported = 0;
  for (size_t i = 0; i < asked.size(); ++i) {
    DBLITERALINFO& info = infos[i];
    info = {};
    info.lt = asked[i];
    const LiteralEntry* e = Find(supported, asked[i]);
    if (!e) {
      info.fSupported = FALSE;
      ++unsupported;
      continue;
    }
    info.fSupported = TRUE;
    info.pwszLiteralValue = place(e->value);
    info.pwszInvalidChars = place(e->invalidChars);
    info.pwszInvalidStartingChars = place(e->invalidStartingChars);
    info.cchMaxLen = e->maxLength;
  }
  *pcLiteralInfo = static_cast<ULONG>(asked.size());
  *prgLiteralInfo = infos;
  *ppCharBuffer = buffer;
  if (unsupported == 0) return S_OK;
  return unsupported == asked.size() ? DB_E_ERRORSOCCURRED : DB_S_ERRORSOCCURRED;
}
