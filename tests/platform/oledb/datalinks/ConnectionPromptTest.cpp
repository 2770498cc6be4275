// The connection page as the prompt a provider shows while it initializes.
#include <QLineEdit>
#include <QWidget>

#include "DataLinksFixture.h"

namespace {

class ConnectionPromptTest : public PromptingDataLinksTest {};

TEST_F(ConnectionPromptTest, PromptShowsTheProvidersPageOwnedByTheWindowProperty) {
  ComPtr<IDBInitialize> dataSource = PromptingDataSource(CLSID_FakeProvider, DBPROMPT_COMPLETE);
  ASSERT_TRUE(dataSource);
  QWidget* parent = nullptr;
  CDialogScript script([&](QDialog& dialog) {
    parent = dialog.parentWidget();
    auto* source = Child<QLineEdit>(dialog, QStringLiteral("property%1").arg(DBPROP_INIT_DATASOURCE).toLatin1().constData());
    if (source) source->setText("server1");
    Click(dialog, "okButton");
  });
  EXPECT_EQ(dataSource->Initialize(), S_OK);
  EXPECT_EQ(script.Shown(), 1);
  EXPECT_EQ(script.LastName(), "connectionPromptDialog");
  EXPECT_EQ(script.LastTitle(), "Data Link Properties");
  EXPECT_EQ(parent, &m_owner);
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_DATASOURCE), "server1");
}

TEST_F(ConnectionPromptTest, CancellingThePromptCancelsInitialize) {
  ComPtr<IDBInitialize> dataSource = PromptingDataSource(CLSID_FakeProvider, DBPROMPT_PROMPT);
  ASSERT_TRUE(dataSource);
  CDialogScript script([](QDialog& dialog) { Click(dialog, "cancelButton"); });
  EXPECT_EQ(dataSource->Initialize(), DB_E_CANCELED);
  EXPECT_EQ(script.Shown(), 1);
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_DATASOURCE), "<unset>");
  EXPECT_TRUE(m_boxes.Calls().empty());
}

}  // namespace
