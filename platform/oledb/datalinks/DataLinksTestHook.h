// Lets tests drive the Data Links dialogs without real clicks: the hook is
// called with each dialog once its event loop runs, and may fill fields and
// press buttons (the dialog's widgets carry object names).
#pragma once

#include <functional>

class QDialog;

using DataLinksDialogHook = std::function<void(QDialog& dialog)>;

// Returns the previous hook; an empty hook leaves the dialogs to the user.
DataLinksDialogHook SetDataLinksDialogHook(DataLinksDialogHook hook);

// Runs a dialog modally, calling the hook as soon as it is shown.
int ExecDataLinksDialog(QDialog& dialog);
