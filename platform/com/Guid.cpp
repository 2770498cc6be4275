// GUID text in registry form.
#include <cctype>
#include <cstdio>

#include "ClassRegistry.h"
#include "objbase.h"

namespace {

constexpr int kGuidTextLength = 38;

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads `digits` hexadecimal digits at s; false on any other character.
bool ReadHex(LPCOLESTR s, int digits, uint64_t& out) {
  out = 0;
  for (int i = 0; i < digits; ++i) {
    int v = HexValue(s[i]);
    if (v < 0) return false;
    out = (out << 4) | static_cast<uint64_t>(v);
  }
  return true;
}

bool ParseGuid(LPCOLESTR s, GUID& g) {
  if (OleStrLen(s) != kGuidTextLength || s[0] != u'{' || s[37] != u'}') return false;
  if (s[9] != u'-' || s[14] != u'-' || s[19] != u'-' || s[24] != u'-') return false;
  uint64_t v = 0;
  if (!ReadHex(s + 1, 8, v)) return false;
  g.Data1 = static_cast<uint32_t>(v);
  if (!ReadHex(s + 10, 4, v)) return false;
  g.Data2 = static_cast<uint16_t>(v);
  if (!ReadHex(s + 15, 4, v)) return false;
  g.Data3 = static_cast<uint16_t>(v);
  const int offsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(s + offsets[i], 2, v)) return false;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  return true;
}

}  // namespace

int StringFromGUID2(REFGUID g, LPOLESTR lpsz, int cchMax) {
  if (!lpsz || cchMax < kGuidTextLength + 1) return 0;
  char text[kGuidTextLength + 1];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  for (int i = 0; i <= kGuidTextLength; ++i) lpsz[i] = static_cast<OLECHAR>(text[i]);
  return kGuidTextLength + 1;
}

HRESULT IIDFromString(LPCOLESTR lpsz, IID* piid) {
  if (!piid) return E_INVALIDARG;
  if (!lpsz) {
    *piid = GUID_NULL;
    return S_OK;
  }
  GUID g{};
  if (!ParseGuid(lpsz, g)) return CO_E_CLASSSTRING;
  *piid = g;
  return S_OK;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID pclsid) {
  if (!lpszProgID || !pclsid) return E_INVALIDARG;
  auto entry = CClassRegistry::Instance().FindByProgId(OleToAnsi(lpszProgID));
  if (!entry) return CO_E_CLASSSTRING;
  *pclsid = entry->clsid;
  return S_OK;
}

// Takes the registry form, or a programmatic name as the platform does.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (!pclsid) return E_INVALIDARG;
  if (lpsz && lpsz[0] != u'{' && lpsz[0] != 0) {
    HRESULT hr = CLSIDFromProgID(lpsz, pclsid);
    if (FAILED(hr)) *pclsid = GUID_NULL;
    return hr;
  }
  HRESULT hr = IIDFromString(lpsz, pclsid);
  if (FAILED(hr)) *pclsid = GUID_NULL;
  return hr;
}
