// The Copy message's form of an initialization string: one property per
// line, the lines that continue a double-quoted value indented by a tab.
#pragma once

#include "CString.h"

CString InitStringDisplayCopy(const CString& initString);
