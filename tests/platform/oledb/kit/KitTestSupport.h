// Small builders shared by the kit's tests.
#pragma once

#include <string>

#include "oledb.h"

inline DBBINDING MakeBinding(DBORDINAL ordinal, DBTYPE type, DBLENGTH cbMaxLen, DBBYTEOFFSET obValue,
                             DBBYTEOFFSET obLength, DBBYTEOFFSET obStatus,
                             DBPART parts = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS) {
  DBBINDING b{};
  b.iOrdinal = ordinal;
  b.obValue = obValue;
  b.obLength = obLength;
  b.obStatus = obStatus;
  b.dwPart = parts;
  b.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  b.eParamIO = DBPARAMIO_NOTPARAM;
  b.cbMaxLen = cbMaxLen;
  b.wType = type;
  return b;
}

// The layout a page's text binding uses: 256 bytes of value, then length
// and status.
struct TextSlot {
  char value[256];
  DBLENGTH length;
  DBSTATUS status;
};

inline DBBINDING TextSlotBinding(DBORDINAL ordinal, size_t slotIndex = 0) {
  DBBYTEOFFSET base = static_cast<DBBYTEOFFSET>(slotIndex * sizeof(TextSlot));
  return MakeBinding(ordinal, DBTYPE_STR, 256, base + offsetof(TextSlot, value),
                     base + offsetof(TextSlot, length), base + offsetof(TextSlot, status));
}

// The viewer's binding: a task-allocated string pointer and nothing else.
inline DBBINDING ByRefTextBinding(DBORDINAL ordinal, size_t slotIndex) {
  return MakeBinding(ordinal, DBTYPE_STR | DBTYPE_BYREF, sizeof(void*),
                     static_cast<DBBYTEOFFSET>(slotIndex * sizeof(void*)), 0, 0, DBPART_VALUE);
}
