// Shows a provider's error records after a failed OLE DB call: one box per
// record, its description as the text and its source as the caption.
#pragma once

#include "UiDefs.h"
#include "oleauto.h"
#include "unknwn.h"

// `object` is the object whose method failed and `iid` that method's
// interface. With releaseObject the caller's reference to `object` is
// released here, whatever happens, and the caller must not use it again.
// S_OK when the records were shown, else the status that stopped the walk.
HRESULT ShowOleDbErrors(IUnknown* object, REFIID iid, HWND owner, BOOL releaseObject);

// Shows one error object; takes over the caller's reference.
void ShowErrorInfo(IErrorInfo* errorInfo, HWND owner);

// Shows an error object taken from the thread earlier, record by record
// when it has records; takes over the caller's reference. Without an
// object it says that none is available.
void ShowErrorObject(IErrorInfo* errorInfo, HWND owner);
