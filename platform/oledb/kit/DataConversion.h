// Conversion between native values and the client's row buffer, one binding
// at a time, filling the value, length and status parts the binding asks for.
#pragma once

#include "NativeValue.h"
#include "oledb.h"

// Whether the kit can deliver a value as this binding type (DBTYPE_BYREF
// allowed with DBTYPE_STR, DBTYPE_WSTR and DBTYPE_BYTES).
bool IsConvertibleBindingType(DBTYPE wType);

// Writes one value into pData as the binding says and returns the status it
// stored (or would have stored, if the status part is not bound):
// DBSTATUS_S_OK, DBSTATUS_S_ISNULL, DBSTATUS_S_TRUNCATED (text is cut at a
// UTF-8 character boundary and always terminated),
// DBSTATUS_E_CANTCONVERTVALUE, DBSTATUS_E_DATAOVERFLOW. By-reference text
// and bytes are allocated whole with the task allocator, owned by the client.
DBSTATUS ConvertToBinding(const NativeValueView& value, const DBBINDING& binding, BYTE* pData);

// Reads the value a client put in pData for a write (SetData, InsertRow).
// Honours DBSTATUS_S_ISNULL in the status part; text types become Text,
// DBTYPE_BYTES a Blob, numbers Integer or Real. Returns the status for the
// binding (DBSTATUS_S_OK, or an error status with out left unchanged).
DBSTATUS ConvertFromBinding(const DBBINDING& binding, const BYTE* pData, NativeValue& out);
