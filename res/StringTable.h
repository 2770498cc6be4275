// The string table: texts by resource id.
#pragma once

#include "CString.h"

void RegisterStringResource(unsigned id, const char* text);
// Empty when no string has that id, as a failed load leaves the buffer.
CString LoadStringResource(unsigned id);
