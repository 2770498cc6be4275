// The connection page as the prompt a provider shows while it initializes.
#include <QLineEdit>
#include <QWidget>

#include "DataLinksFixture.h"

namespace {

class ConnectionPromptTest : public DataLinksTest {
 protected:
  // A data source of `provider` asked to prompt, owned by m_owner.
  ComPtr<IDBInitialize> PromptingDataSource(REFCLSID provider, DBPROMPT prompt) {
    ComPtr<IDBInitialize> dataSource;
    EXPECT_EQ(CoCreateInstance(provider, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                               dataSource.ReleaseAndGetVoidAddress()),
              S_OK);
    if (!dataSource) return dataSource;
    DBPROP props[2] = {};
    props[0].dwPropertyID = DBPROP_INIT_PROMPT;
    props[0].vValue.vt = VT_I2;
    props[0].vValue.iVal = static_cast<SHORT>(prompt);
    props[1].dwPropertyID = DBPROP_INIT_HWND;
    props[1].vValue.vt = VT_I8;
    props[1].vValue.llVal = reinterpret_cast<intptr_t>(static_cast<QWidget*>(&m_owner));
    DBPROPSET set{props, 2, DBPROPSET_DBINIT};
    EXPECT_EQ(dataSource.As<IDBProperties>()->SetProperties(1, &set), S_OK);
    return dataSource;
  }

  QWidget m_owner;
};

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
