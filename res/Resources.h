// Registers every resource of the application: dialog templates, strings
// and the icon. Call once a QApplication exists (the icon is painted).
#pragma once

void RegisterAllResources();

// The pieces, for programs that need only some of them.
void RegisterDialogTemplates();
void RegisterStrings();
void RegisterIcons();
