#include <gtest/gtest.h>

#include <set>

#include "DialogTemplate.h"
#include "IconResources.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "StringTable.h"

namespace {

class ResourcesTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllResources(); }
};

const int kPages[] = {IDD_ABOUTBOX,       IDD_CONNECTION_STRING,  IDD_SCHEMA_VIEWER,    IDD_TABLE_ANALYZER,
                      IDD_PROPERTIES_BROWSER, IDD_ENUMERATOR, IDD_COMMAND_PROCESSOR};

TEST_F(ResourcesTest, EveryPageIsAChildTemplateOfTheSheetsSizeWithItsControlsInside) {
  for (int id : kPages) {
    const DialogTemplate* page = FindDialogTemplate(id);
    ASSERT_NE(page, nullptr) << id;
    EXPECT_EQ(page->cx, 347) << id;
    EXPECT_EQ(page->cy, 95) << id;
    EXPECT_TRUE(page->style & WS_CHILD) << id;
    EXPECT_TRUE(page->style & WS_DISABLED) << id;
    std::set<int> ids;
    for (const ControlTemplate& c : page->controls) {
      if (c.id != IDC_STATIC) {
        EXPECT_TRUE(ids.insert(c.id).second) << id << ": control " << c.id << " twice";
      }
      EXPECT_LE(c.x + c.cx, page->cx) << id << ": " << c.caption;
      EXPECT_LE(c.y + c.cy, page->cy) << id << ": " << c.caption;
    }
  }
}

TEST_F(ResourcesTest, TheBuilderTemplateHasItsControlsWhereTheyBelong) {
  const DialogTemplate* page = FindDialogTemplate(IDD_CONNECTION_STRING);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->caption, "Connection String Builder");
  struct Expected {
    int id;
    ControlKind kind;
    const char* caption;
    int x, y, cx, cy;
    bool enabled;
  };
  const Expected expected[] = {
      {IDC_BUILD, ControlKind::Button, "&Build", 290, 15, 50, 14, true},
      {IDC_CONNECTION_STRING, ControlKind::Edit, "", 4, 14, 278, 74, true},
      {IDC_COPY, ControlKind::Button, "Co&py", 290, 31, 50, 14, false},
      {IDC_CONNECT, ControlKind::Button, "C&onnect", 290, 47, 50, 14, false},
  };
  for (const Expected& e : expected) {
    const ControlTemplate* found = nullptr;
    for (const ControlTemplate& c : page->controls)
      if (c.id == e.id) found = &c;
    ASSERT_NE(found, nullptr) << e.id;
    EXPECT_EQ(found->kind, e.kind) << e.id;
    EXPECT_EQ(found->caption, e.caption);
    EXPECT_EQ(std::tie(found->x, found->y, found->cx, found->cy), std::tie(e.x, e.y, e.cx, e.cy)) << e.id;
    EXPECT_EQ((found->style & WS_DISABLED) == 0, e.enabled) << e.id;
  }
  const ControlTemplate* edit = nullptr;
  for (const ControlTemplate& c : page->controls)
    if (c.id == IDC_CONNECTION_STRING) edit = &c;
  EXPECT_TRUE(edit->style & ES_MULTILINE);
}

TEST_F(ResourcesTest, TheCommandPageHasADisabledDefaultExecuteAStatusLineAndAnEditThatLeavesEnter) {
  const DialogTemplate* page = FindDialogTemplate(IDD_COMMAND_PROCESSOR);
  ASSERT_NE(page, nullptr);
  const ControlTemplate* execute = nullptr;
  const ControlTemplate* status = nullptr;
  const ControlTemplate* edit = nullptr;
  for (const ControlTemplate& c : page->controls) {
    if (c.id == IDC_EXECUTE) execute = &c;
    if (c.id == IDC_COMMAND_STATUS) status = &c;
    if (c.id == IDC_COMMAND_TEXT) edit = &c;
  }
  ASSERT_TRUE(execute && status && edit);
  EXPECT_EQ(execute->kind, ControlKind::DefButton);
  EXPECT_TRUE(execute->style & WS_DISABLED);
  EXPECT_EQ(status->kind, ControlKind::Static);
  EXPECT_EQ(status->caption, "");
  // The status sits clear of the edit and of both buttons.
  for (const ControlTemplate& c : page->controls) {
    if (&c == status || c.id == IDC_STATIC) continue;
    const bool apart = status->x >= c.x + c.cx || c.x >= status->x + status->cx || status->y >= c.y + c.cy ||
                       c.y >= status->y + status->cy;
    EXPECT_TRUE(apart) << "status overlaps control " << c.id;
  }
  EXPECT_TRUE(edit->style & ES_MULTILINE);
  EXPECT_FALSE(edit->style & ES_WANTRETURN);  // Enter runs the command
}

TEST_F(ResourcesTest, TheViewerIsAModalFrameWithAListAndACloseButton) {
  const DialogTemplate* viewer = FindDialogTemplate(IDD_ROWSET_VIEWER);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->cx, 332);
  EXPECT_EQ(viewer->cy, 177);
  EXPECT_TRUE(viewer->style & DS_MODALFRAME);
  ASSERT_EQ(viewer->controls.size(), 2u);
  EXPECT_EQ(viewer->controls[0].kind, ControlKind::ListView);
  EXPECT_EQ(viewer->controls[1].id, IDCANCEL);
  EXPECT_EQ(viewer->controls[1].caption, "&Close");
  EXPECT_EQ(viewer->controls[1].kind, ControlKind::Button);  // not a default button
}

TEST_F(ResourcesTest, TheAboutStringAndTheIconInBothSizes) {
  EXPECT_EQ(LoadStringResource(IDS_ABOUTBOX), "&About Ravezov...");
  EXPECT_TRUE(LoadStringResource(9999).IsEmpty());
  const QIcon icon = LoadIconResource(IDR_MAINFRAME);
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.availableSizes().size(), 2);
  EXPECT_FALSE(icon.pixmap(16, 16).isNull());
  EXPECT_FALSE(icon.pixmap(32, 32).isNull());
}

}  // namespace
