// The Data Link Properties dialog over a provider without a page of its own.
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>

#include "DataLinksFixture.h"
#include "PropertyText.h"

namespace {

const QString kFake = QString::fromLatin1(kFakeProviderDescription);

void SetField(QDialog& dialog, DBPROPID id, const QString& text) {
  if (auto* edit = Child<QLineEdit>(dialog, QStringLiteral("property%1").arg(id).toLatin1().constData()))
    edit->setText(text);
}

QTableWidgetItem* ValueCell(QTableWidget& table, const QString& name) {
  for (int row = 0; row < table.rowCount(); ++row)
    if (table.item(row, 0)->text() == name) return table.item(row, 1);
  ADD_FAILURE() << "no row " << name.toStdString();
  return nullptr;
}

TEST_F(DataLinksTest, CancelReturnsCanceledAndNoDataSource) {
  ComPtr<IUnknown> dataSource;
  EXPECT_EQ(Prompt(dataSource, [](QDialog& dialog) { Click(dialog, "cancelButton"); }), DB_E_CANCELED);
  EXPECT_EQ(m_dialogsShown, 1);
  EXPECT_FALSE(dataSource);
  EXPECT_TRUE(m_boxes.Calls().empty());
}

TEST_F(DataLinksTest, ConnectionAndAllTabsShareTheValuesOkSetsThemUninitialized) {
  ComPtr<IUnknown> dataSource;
  HRESULT hr = Prompt(dataSource, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Data Link Properties");
    SelectProvider(dialog, kFake);
    Click(dialog, "nextButton");
    auto* tabs = Child<QTabWidget>(dialog, "tabs");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("property%1").arg(DBPROP_INIT_HWND)), nullptr)
        << "the window handle is not typed on the form";
    SetField(dialog, DBPROP_AUTH_USERID, "scott");
    SetField(dialog, DBPROP_INIT_DATASOURCE, "server1");

    tabs->setCurrentIndex(2);
    auto* table = Child<QTableWidget>(dialog, "allTable");
    ASSERT_TRUE(table);
    EXPECT_EQ(ValueCell(*table, "User ID")->text(), "scott");
    EXPECT_EQ(ValueCell(*table, "Connect Timeout")->text(), "15");
    EXPECT_FALSE(ValueCell(*table, "Locale Identifier")->flags() & Qt::ItemIsEditable);
    ValueCell(*table, "Connect Timeout")->setText("30");

    // Back on the form, the value edited in the table shows.
    tabs->setCurrentIndex(1);
    auto* timeout = Child<QLineEdit>(dialog, QStringLiteral("property%1").arg(DBPROP_INIT_TIMEOUT).toLatin1().constData());
    if (timeout) {
      EXPECT_EQ(timeout->text(), "30");
    }
    Click(dialog, "okButton");
  });
  ASSERT_EQ(hr, S_OK);
  EXPECT_TRUE(m_boxes.Calls().empty());
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_AUTH_USERID), "scott");
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_TIMEOUT), "30");
  ComPtr<IDBInitialize> initialize = dataSource.As<IDBInitialize>();
  ASSERT_TRUE(initialize);
  EXPECT_EQ(initialize->Initialize(), S_OK) << "OK returns a data source not yet initialized";
}

TEST_F(DataLinksTest, InvalidValueIsReportedAndKeepsTheDialogOpen) {
  ComPtr<IUnknown> dataSource;
  bool stillOpen = false;
  HRESULT hr = Prompt(dataSource, [&](QDialog& dialog) {
    SelectProvider(dialog, kFake);
    Child<QTabWidget>(dialog, "tabs")->setCurrentIndex(2);
    auto* table = Child<QTableWidget>(dialog, "allTable");
    ValueCell(*table, "Connect Timeout")->setText("soon");
    Click(dialog, "okButton");
    stillOpen = dialog.isVisible();
    ValueCell(*table, "Connect Timeout")->setText("20");
    Click(dialog, "okButton");
  });
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(m_boxes.Calls().size(), 1u);
  EXPECT_NE(m_boxes.Calls()[0].text.find("Connect Timeout"), std::string::npos) << m_boxes.Calls()[0].text;
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_TIMEOUT), "20");
}

TEST_F(DataLinksTest, TestConnectionReportsSuccessOrTheProvidersRecords) {
  ComPtr<IUnknown> dataSource;
  Prompt(dataSource, [](QDialog& dialog) {
    SelectProvider(dialog, kFake);
    Click(dialog, "nextButton");
    SetField(dialog, DBPROP_INIT_DATASOURCE, "nowhere");
    Click(dialog, "testButton");
    SetField(dialog, DBPROP_INIT_DATASOURCE, "server1");
    Click(dialog, "testButton");
    Click(dialog, "cancelButton");
  });
  const auto& boxes = m_boxes.Calls();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Cannot reach the server 'nowhere'.");
  EXPECT_EQ(boxes[0].caption, "Fake.Provider");
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(boxes[1].text, "Test connection succeeded.");
  EXPECT_EQ(boxes[1].type & MB_ICONMASK, MB_ICONINFORMATION);
}

TEST_F(DataLinksTest, ExistingDataSourceIsEditedInPlace) {
  ComPtr<IUnknown> dataSource;
  ASSERT_EQ(CoCreateInstance(CLSID_FakeProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             dataSource.ReleaseAndGetVoidAddress()),
            S_OK);
  ComPtr<IUnknown> original = dataSource;
  HRESULT hr = Prompt(dataSource, [](QDialog& dialog) {
    EXPECT_FALSE(Child<QListWidget>(dialog, "providerList")->isEnabled());
    EXPECT_EQ(Child<QTabWidget>(dialog, "tabs")->currentIndex(), 1);
    SetField(dialog, DBPROP_INIT_DATASOURCE, "server1");
    Click(dialog, "okButton");
  });
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(dataSource.As<IUnknown>().Get(), original.As<IUnknown>().Get());
  EXPECT_EQ(InitPropertyText(original, DBPROP_INIT_DATASOURCE), "server1");
}

TEST_F(DataLinksTest, ProviderFilterAndArgumentChecks) {
  OLECHAR clsidText[40] = {};
  StringFromGUID2(CLSID_FakeProvider, clsidText, 39);
  std::u16string filter = std::u16string(clsidText) + u'\0' + u'\0';
  ComPtr<IUnknown> dataSource;
  int rows = -1;
  Prompt(
      dataSource,
      [&](QDialog& dialog) {
        auto* list = Child<QListWidget>(dialog, "providerList");
        rows = list->count();
        if (list && list->currentItem()) {
          EXPECT_EQ(list->currentItem()->text(), kFake);
        }
      },
      filter.c_str());
  EXPECT_EQ(rows, 1);

  ComPtr<IDBPromptInitialize> links;
  ASSERT_EQ(CoCreateInstance(CLSID_DataLinks, nullptr, CLSCTX_INPROC_SERVER, IID_IDBPromptInitialize,
                             links.ReleaseAndGetVoidAddress()),
            S_OK);
  IUnknown* out = nullptr;
  EXPECT_EQ(links->PromptDataSource(links, nullptr, 0, 0, nullptr, nullptr, IID_IUnknown, &out),
            DB_E_NOAGGREGATION);
  EXPECT_EQ(links->PromptDataSource(nullptr, nullptr, 0, 0, nullptr, nullptr, IID_IUnknown, nullptr),
            E_INVALIDARG);
  LPOLESTR file = nullptr;
  EXPECT_EQ(links->PromptFileName(nullptr, 0, nullptr, nullptr, &file), E_NOTIMPL);
  EXPECT_EQ(file, nullptr);
}

TEST(PropertyTextTest, ValuesReadBackAsTyped) {
  CPropertyValue value;
  ASSERT_TRUE(PropertyValueFromText("yes", VT_BOOL, value));
  EXPECT_EQ(PropertyValueToText(value.Get()), "True");
  ASSERT_TRUE(PropertyValueFromText("0", VT_BOOL, value));
  EXPECT_EQ(PropertyValueToText(value.Get()), "False");
  EXPECT_FALSE(PropertyValueFromText("maybe", VT_BOOL, value));
  ASSERT_TRUE(PropertyValueFromText("30", VT_I4, value));
  EXPECT_EQ(value.Get().vt, VT_I4);
  EXPECT_EQ(value.Get().lVal, 30);
  EXPECT_FALSE(PropertyValueFromText("30s", VT_I4, value));
  ASSERT_TRUE(PropertyValueFromText("123456789012", VT_I8, value));
  EXPECT_EQ(PropertyValueToText(value.Get()), "123456789012");
  ASSERT_TRUE(PropertyValueFromText("", VT_I4, value));
  EXPECT_TRUE(value.IsEmpty());
  ASSERT_TRUE(PropertyValueFromText(QString::fromUtf8("Zürich;db"), VT_BSTR, value));
  EXPECT_EQ(PropertyValueToText(value.Get()), QString::fromUtf8("Zürich;db"));
}

}  // namespace
