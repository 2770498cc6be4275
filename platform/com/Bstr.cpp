// BSTR: a length prefix in bytes, the characters, a terminator.
#include <cstdlib>
#include <cstring>

#include "oleauto.h"

namespace {

struct BstrHeader {
  // Keeps the characters aligned as the platform does (prefix right before them).
  alignas(std::max_align_t) char pad[sizeof(std::max_align_t) - sizeof(uint32_t)];
  uint32_t cbLength;
};
static_assert(sizeof(BstrHeader) % alignof(OLECHAR) == 0);

BstrHeader* HeaderOf(BSTR bstr) {
  return reinterpret_cast<BstrHeader*>(reinterpret_cast<char*>(bstr) - sizeof(BstrHeader));
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
  size_t bytes = sizeof(BstrHeader) + (static_cast<size_t>(cch) + 1) * sizeof(OLECHAR);
  auto* header = static_cast<BstrHeader*>(std::malloc(bytes));
  if (!header) return nullptr;
  header->cbLength = cch * sizeof(OLECHAR);
  BSTR text = reinterpret_cast<BSTR>(header + 1);
  if (pch)
    std::memcpy(text, pch, cch * sizeof(OLECHAR));
  else
    std::memset(text, 0, cch * sizeof(OLECHAR));
  text[cch] = 0;
  return text;
}

BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  return SysAllocStringLen(psz, static_cast<UINT>(OleStrLen(psz)));
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(HeaderOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) { return bstr ? HeaderOf(bstr)->cbLength : 0; }

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
