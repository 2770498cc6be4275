// Dialog templates as data: what a dialog resource says, in dialog units.
// The resource layer registers them by id; dialogs look them up when they
// create their windows.
#pragma once

#include <string>
#include <vector>

#include "UiDefs.h"

enum class ControlKind {
  Static,
  Edit,
  Button,
  DefButton,
  CheckBox,
  Radio,
  GroupBox,
  ListBox,
  ComboBox,
  ListView,  // report list; a placeholder unless a factory is registered
  Icon,      // caption holds the icon resource id, as "#128" or "128"
};

struct ControlTemplate {
  int id = IDC_STATIC;
  ControlKind kind = ControlKind::Static;
  std::string caption;  // '&' marks the mnemonic, "&&" a literal '&'
  DWORD style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  int cx = 0, cy = 0;
  std::string fontName = "MS Shell Dlg";
  int fontSize = 8;
  std::vector<ControlTemplate> controls;
  DWORD style = 0;
};

// Replaces an earlier template with the same id.
void RegisterDialogTemplate(DialogTemplate dialogTemplate);
// Null when no template has that id.
const DialogTemplate* FindDialogTemplate(int id);
