// The text a GUID name lookup returns for a GUID it does not know: the
// registry form, braces and upper-case digits, in one static buffer that the
// schema and property-set lookups share. The text stays valid only until
// the next lookup of either kind; callers copy it at once.
#pragma once

#include "objbase.h"

const char* GuidNameText(REFGUID guid);
