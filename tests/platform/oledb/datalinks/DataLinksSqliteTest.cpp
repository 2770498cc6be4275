// Data Links with the SQLite provider: its own connection page, the sample
// database offered, and the page as the provider's prompt.
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>

#include "DataLinksFixture.h"
#include "ConnectionPageRegistry.h"
#include "SqliteProvider.h"
#include "TestEnvironment.h"

namespace {

QString SampleFile() { return QDir(QString::fromUtf8(SamplesDir())).absoluteFilePath("trading.db"); }

void SetFile(QDialog& dialog, const QString& path) {
  if (auto* file = Child<QLineEdit>(dialog, "fileEdit")) file->setText(path);
}

TEST_F(DataLinksTest, SqliteIsSelectedAndOkReturnsItUninitializedWithFileAndMode) {
  ComPtr<IUnknown> dataSource;
  HRESULT hr = Prompt(dataSource, [](QDialog& dialog) {
    auto* list = Child<QListWidget>(dialog, "providerList");
    ASSERT_TRUE(list && list->currentItem());
    EXPECT_EQ(list->currentItem()->text().toStdString(), kSqliteDescription);
    EXPECT_EQ(list->findItems(kFakeProviderDescription, Qt::MatchExactly).size(), 1);
    Click(dialog, "nextButton");
    if (auto* tabs = Child<QTabWidget>(dialog, "tabs")) {
      EXPECT_EQ(tabs->currentIndex(), 1);
    }
    SetFile(dialog, SampleFile());
    if (auto* readOnly = Child<QRadioButton>(dialog, "readOnlyRadio")) readOnly->click();
    Click(dialog, "okButton");
  });
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_DATASOURCE), SampleFile().toStdString());
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_MODE), std::to_string(DB_MODE_READ));
  EXPECT_EQ(dataSource.As<IDBInitialize>()->Initialize(), S_OK);
}

TEST_F(DataLinksTest, TestConnectionOnMissingFileShowsTheProvidersRecord) {
  const QString missing = QDir::temp().absoluteFilePath("no-such-folder/missing.db");
  ComPtr<IUnknown> dataSource;
  Prompt(dataSource, [&](QDialog& dialog) {
    Click(dialog, "nextButton");
    SetFile(dialog, missing);
    Click(dialog, "testButton");
    Click(dialog, "cancelButton");
  });
  EXPECT_FALSE(dataSource);
  ASSERT_GE(m_boxes.Calls().size(), 1u);
  const MessageBoxCall& box = m_boxes.Calls()[0];
  EXPECT_NE(box.text.find(missing.toStdString()), std::string::npos) << box.text;
  EXPECT_EQ(box.caption, "Ravezov.SQLite");
  EXPECT_EQ(box.type & MB_ICONMASK, MB_ICONERROR);
}

TEST_F(DataLinksTest, EmptyFileFieldOffersTheSampleDataSource) {
  std::string offered = "<not shown>";
  auto readField = [&](QDialog& dialog) {
    Click(dialog, "nextButton");
    if (auto* file = Child<QLineEdit>(dialog, "fileEdit")) offered = file->text().toStdString();
  };
  ComPtr<IUnknown> dataSource;
  SetSampleDataSource([] { return SampleFile(); });
  Prompt(dataSource, readField);
  EXPECT_EQ(offered, SampleFile().toStdString());
  SetSampleDataSource({});
  Prompt(dataSource, readField);
  EXPECT_EQ(offered, "");
}

class SqlitePromptTest : public PromptingDataLinksTest {
 protected:
  ComPtr<IDBInitialize> PromptingDataSource() {
    return PromptingDataLinksTest::PromptingDataSource(CLSID_RavezovSQLite, DBPROMPT_COMPLETE);
  }
};

TEST_F(SqlitePromptTest, MissingFileIsAskedForOnTheConnectionPage) {
  ComPtr<IDBInitialize> dataSource = PromptingDataSource();
  ASSERT_TRUE(dataSource);
  QWidget* parent = nullptr;
  CDialogScript script([&](QDialog& dialog) {
    parent = dialog.parentWidget();
    EXPECT_NE(dialog.findChild<QRadioButton*>("readOnlyRadio"), nullptr);
    SetFile(dialog, SampleFile());
    Click(dialog, "okButton");
  });
  EXPECT_EQ(dataSource->Initialize(), S_OK);
  EXPECT_EQ(script.Shown(), 1);
  EXPECT_EQ(script.LastTitle(), "Data Link Properties");
  EXPECT_EQ(parent, &m_owner);
}

TEST_F(SqlitePromptTest, CancelledPromptCancelsInitialize) {
  ComPtr<IDBInitialize> dataSource = PromptingDataSource();
  ASSERT_TRUE(dataSource);
  CDialogScript script([](QDialog& dialog) { Click(dialog, "cancelButton"); });
  EXPECT_EQ(dataSource->Initialize(), DB_E_CANCELED);
  EXPECT_EQ(script.Shown(), 1);
}

}  // namespace
