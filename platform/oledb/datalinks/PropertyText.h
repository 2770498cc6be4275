// Initialization property values as the dialog shows and reads them.
#pragma once

#include <QString>

#include "CPropertyValue.h"

// VT_EMPTY shows as empty text, booleans as "True" or "False".
QString PropertyValueToText(const VARIANT& value);

// Empty text means "no value" (VT_EMPTY). Booleans accept True/False,
// Yes/No and the numbers -1, 1 and 0. Fails on text the type cannot hold.
bool PropertyValueFromText(const QString& text, VARTYPE type, CPropertyValue& value);
