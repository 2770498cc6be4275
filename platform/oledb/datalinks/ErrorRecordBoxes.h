// Shows the thread's error records after a failed call: one box per record,
// the record's description as text and its source as caption.
#pragma once

#include "wtypes.h"

class QWidget;

// Shows `fallback` (captioned `caption`) when the failure left no records.
void ShowErrorRecordBoxes(QWidget* owner, HRESULT failure, const char* fallback, const char* caption);
