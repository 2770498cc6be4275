// Data Links with the ODBC provider: its own connection page lists the
// machine's data source names, and Test Connection reaches the server.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <cstdlib>

#include "DataLinksFixture.h"
#include "OdbcProvider.h"

namespace {

void ChooseOdbc(QDialog& dialog) {
  auto* list = Child<QListWidget>(dialog, "providerList");
  ASSERT_TRUE(list);
  auto found = list->findItems(kOdbcDescription, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  list->setCurrentItem(found[0]);
  Click(dialog, "nextButton");
}

void SetText(QDialog& dialog, const char* name, const char* text) {
  if (auto* edit = Child<QLineEdit>(dialog, name)) edit->setText(QString::fromUtf8(text));
}

TEST_F(DataLinksTest, OdbcPageListsTheDataSourceNamesAndTestsTheConnection) {
  const char* dsn = std::getenv("RAVEZOV_ODBC_PG_DSN");
  if (!dsn) GTEST_SKIP() << "no ODBC test data source (scripts/test sets them up)";
  bool listed = false;
  ComPtr<IUnknown> dataSource;
  Prompt(dataSource, [&](QDialog& dialog) {
    ChooseOdbc(dialog);
    auto* names = Child<QComboBox>(dialog, "dsnCombo");
    ASSERT_TRUE(names);
    listed = names->findText(QString::fromUtf8(dsn)) >= 0;
    names->setCurrentText(QString::fromUtf8(dsn));
    SetText(dialog, "userEdit", std::getenv("RAVEZOV_ODBC_PG_USER"));
    SetText(dialog, "passwordEdit", "not-the-password");
    Click(dialog, "testButton");
    SetText(dialog, "passwordEdit", std::getenv("RAVEZOV_ODBC_PG_PASSWORD"));
    Click(dialog, "testButton");
    Click(dialog, "okButton");
  });
  EXPECT_TRUE(listed);
  ASSERT_GE(m_boxes.Calls().size(), 2u);
  EXPECT_EQ(m_boxes.Calls()[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(m_boxes.Calls()[0].text.find("not-the-password"), std::string::npos);
  EXPECT_EQ(m_boxes.Calls().back().text, "Test connection succeeded.");
  ASSERT_TRUE(dataSource);
  EXPECT_EQ(InitPropertyText(dataSource, DBPROP_INIT_DATASOURCE), dsn);
}

TEST_F(DataLinksTest, OdbcTestConnectionWithNothingChosenShowsTheProvidersRecord) {
  ComPtr<IUnknown> dataSource;
  Prompt(dataSource, [](QDialog& dialog) {
    ChooseOdbc(dialog);
    if (auto* names = Child<QComboBox>(dialog, "dsnCombo")) names->setCurrentText(QString());
    Click(dialog, "testButton");
    Click(dialog, "cancelButton");
  });
  EXPECT_FALSE(dataSource);
  ASSERT_EQ(m_boxes.Calls().size(), 1u);
  EXPECT_EQ(m_boxes.Calls()[0].caption, "Ravezov.ODBC");
  EXPECT_NE(m_boxes.Calls()[0].text.find("No ODBC data source was given"), std::string::npos) << m_boxes.Calls()[0].text;
}

}  // namespace
