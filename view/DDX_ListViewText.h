// Data exchange of a list view's selection: the text of the selected
// item's first column.
#pragma once

#include "CDataExchange.h"
#include "CString.h"

// Saving: the selected item's first-column text, empty when none is
// selected. Loading: selects and focuses the item whose first-column text
// equals `value`, after clearing the previous selection.
void DDX_ListViewText(CDataExchange* pDX, int id, CString& value);
