// Every dialog of the application, as its resource script would give it:
// ids, kinds, captions, styles and positions in dialog units.
#include "DialogTemplate.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "UpdateAddress.h"

namespace {

// Report-list styles; the list control that reads them lives in a later layer.
constexpr DWORD kListReport = 0x0001;
constexpr DWORD kListSingleSelection = 0x0004;
constexpr DWORD kListOwnerDrawFixed = 0x0400;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kListBox = kChild | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kReportList = kChild | kListReport | kListOwnerDrawFixed | WS_BORDER | WS_TABSTOP;

ControlTemplate Control(int id, ControlKind kind, const char* caption, DWORD style, int x, int y, int cx, int cy) {
  return ControlTemplate{id, kind, caption, style, x, y, cx, cy};
}

ControlTemplate Button(int id, const char* caption, int x, int y, bool enabled = true) {
  return Control(id, ControlKind::Button, caption, kPushButton | (enabled ? 0 : WS_DISABLED), x, y, 50, 14);
}

ControlTemplate Label(const char* caption, int x, int y, int cx, DWORD extra = WS_GROUP) {
  return Control(IDC_STATIC, ControlKind::Static, caption, kChild | SS_LEFT | extra, x, y, cx, 8);
}

ControlTemplate ListBox(int id, int x, int y, int cx, int cy) {
  return Control(id, ControlKind::ListBox, "", kListBox, x, y, cx, cy);
}

DialogTemplate Page(int id, const char* caption, std::vector<ControlTemplate> controls) {
  DialogTemplate page;
  page.id = id;
  page.caption = caption;
  page.cx = 347;
  page.cy = 95;
  page.fontName = "MS Sans Serif";
  page.fontSize = 8;
  page.style = kPageStyle;
  page.controls = std::move(controls);
  return page;
}

// Width in dialog units of the About page's address button.
constexpr int kAddressWidth = 160;

DialogTemplate AboutPage() {
  return Page(IDD_ABOUTBOX, "About Ravezov",
              {
                  Control(IDC_STATIC, ControlKind::Icon, "#128", kChild | SS_ICON, 11, 17, 20, 20),
                  Label("Ravezov Version 1.0", 40, 10, 119, SS_NOPREFIX | WS_GROUP),
                  // The address button is as wide as the project's address needs;
                  // "for updates" follows it on the same line.
                  Control(IDC_UPDATE_LINK, ControlKind::Button, kUpdatePageAddress, kPushButton | BS_FLAT, 37, 41,
                          kAddressWidth, 12),
                  Label("Check", 13, 43, 22),
                  Control(IDC_STATIC, ControlKind::Static, "for updates", kChild | SS_LEFTNOWORDWRAP | WS_GROUP,
                          37 + kAddressWidth + 3, 43, 36, 8),
              });
}

DialogTemplate ConnectionStringPage() {
  return Page(IDD_CONNECTION_STRING, "Connection String Builder",
              {
                  Button(IDC_BUILD, "&Build", 290, 15),
                  Label("&Connection String", 5, 4, 57),
                  Control(IDC_CONNECTION_STRING, ControlKind::Edit, "",
                          kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_BORDER | WS_TABSTOP, 4, 14,
                          278, 74),
                  Button(IDC_COPY, "Co&py", 290, 31, false),
                  Button(IDC_CONNECT, "C&onnect", 290, 47, false),
              });
}

DialogTemplate SchemaViewerPage() {
  return Page(IDD_SCHEMA_VIEWER, "OLE DB Schema Viewer",
              {
                  Button(IDC_SCHEMA_CONNECT, "C&onnect", 290, 15),
                  Label("&Schema", 5, 4, 27, 0),
                  ListBox(IDC_SCHEMA_LIST, 4, 14, 172, 74),
                  Label("&Restrictions", 183, 4, 38, 0),
                  ListBox(IDC_RESTRICTION_LIST, 182, 14, 100, 49),
                  Label("&Value", 183, 64, 19, 0),
                  Control(IDC_RESTRICTION_VALUE, ControlKind::Edit, "", kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                          182, 74, 100, 14),
                  Button(IDC_SET_VALUE, "Set &Value", 290, 31, false),
                  Button(IDC_GET_SCHEMA, "&Get Schema", 290, 47, false),
              });
}

DialogTemplate RowsetViewer() {
  DialogTemplate viewer;
  viewer.id = IDD_ROWSET_VIEWER;
  viewer.caption = "Dialog";
  viewer.cx = 332;
  viewer.cy = 177;
  viewer.fontName = "MS Sans Serif";
  viewer.fontSize = 8;
  viewer.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
  viewer.controls = {
      Control(IDC_ROWSET_LIST, ControlKind::ListView, "List1", kReportList | kListSingleSelection, 4, 7, 263, 163),
      Control(IDCANCEL, ControlKind::Button, "&Close", kPushButton, 275, 7, 50, 14),
  };
  return viewer;
}

DialogTemplate TableAnalyzerPage() {
  return Page(IDD_TABLE_ANALYZER, "OLE DB Table Analyzer",
              {
                  Button(IDC_TABLES_CONNECT, "C&onnect", 290, 15),
                  Button(IDC_TABLES_DATA, "&Data", 290, 31, false),
                  Button(IDC_TABLES_SCHEMA, "&Schema", 290, 47, false),
                  Control(IDC_TABLE_LIST, ControlKind::ListView, "", kReportList, 4, 7, 278, 81),
              });
}

DialogTemplate PropertiesBrowserPage() {
  return Page(IDD_PROPERTIES_BROWSER, "OLE DB Properties Browser",
              {
                  Button(IDC_PROPS_CONNECT, "C&onnect", 290, 15),
                  Label("Property &Sets", 5, 4, 43, 0),
                  ListBox(IDC_PROPSET_LIST, 4, 14, 147, 49),
                  Label("&Properties", 157, 4, 32, 0),
                  ListBox(IDC_PROPERTY_LIST, 156, 14, 126, 49),
                  Label("&Value", 5, 64, 19, 0),
                  Control(IDC_PROPERTY_VALUE, ControlKind::Edit, "",
                          kChild | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 4, 74, 278, 14),
              });
}

DialogTemplate EnumeratorPage() {
  return Page(IDD_ENUMERATOR, "OLE DB Enumerator",
              {
                  Button(IDC_ENUM_CONNECT, "C&onnect", 290, 15),
                  Control(IDC_ENUM_LIST, ControlKind::ListView, "", kReportList, 4, 7, 278, 81),
              });
}

DialogTemplate CommandProcessorPage() {
  return Page(IDD_COMMAND_PROCESSOR, "Command Processor",
              {
                  Button(IDC_COMMAND_CONNECT, "C&onnect", 290, 14),
                  Label("&Connection String", 5, 4, 57, 0),
                  Control(IDC_COMMAND_TEXT, ControlKind::Edit, "",
                          kChild | ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_TABSTOP, 4, 14, 278, 74),
                  Control(IDC_EXECUTE, ControlKind::DefButton, "&Execute",
                          (kPushButton & ~BS_TYPEMASK) | BS_DEFPUSHBUTTON | WS_DISABLED, 290, 31, 50, 14),
                  // Below the buttons, wrapped over up to four lines.
                  Control(IDC_COMMAND_STATUS, ControlKind::Static, "", kChild | SS_LEFT | SS_NOPREFIX, 290, 50, 50, 38),
              });
}

}  // namespace

void RegisterDialogTemplates() {
  for (DialogTemplate t : {AboutPage(), ConnectionStringPage(), SchemaViewerPage(), RowsetViewer(),
                           TableAnalyzerPage(), PropertiesBrowserPage(), EnumeratorPage(), CommandProcessorPage()})
    RegisterDialogTemplate(std::move(t));
}
