#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <thread>

#include "UiTestTemplates.h"

using namespace uitest;

namespace {

// A dialog with handlers bound to its controls and one member per exchange.
class FormDialog : public CDialog {
 public:
  explicit FormDialog(DialogTemplate t = PageTemplate(0, "Form")) : CDialog(std::move(t)) {
    OnBnClicked(kButton, [this] { events.push_back("clicked"); });
    OnEnChange(kEdit, [this] { events.push_back("changed"); });
    OnLbnSelchange(kList, [this] { events.push_back("selchange"); });
    OnLbnDblclk(kList, [this] { events.push_back("dblclk"); });
    OnCbnSelchange(kCombo, [this] { events.push_back("combo"); });
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_list.AddString("zero");
    m_list.AddString("one");
    m_list.AddString("two");
    m_combo.AddString("red");
    m_combo.AddString("green");
    m_list.SetCurSel(m_listIndex);
    m_combo.SetCurSel(m_comboIndex);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kList, m_list);
    DDX_Control(pDX, kCombo, m_combo);
    DDX_Text(pDX, kEdit, m_text);
    DDX_LBIndex(pDX, kList, m_listIndex);
    DDX_CBIndex(pDX, kCombo, m_comboIndex);
    DDX_Check(pDX, kCheck, m_check);
    DDX_Text(pDX, kNumber, m_number);
    DDX_Text(pDX, kMultiLine, m_lines);
  }

  CListBox m_list;
  CComboBox m_combo;
  CString m_text = "initial";
  int m_listIndex = -1;
  int m_comboIndex = -1;
  int m_check = BST_UNCHECKED;
  int m_number = 0;
  std::string m_lines;
  std::vector<std::string> events;
};

template <class T>
T* Control(CDialog& dialog, int id) {
  return qobject_cast<T*>(dialog.ControlById(id));
}

class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = IDOK) {
    SetMessageBoxHook([this, answer](const MessageBoxCall& call) {
      calls.push_back(call);
      return answer;
    });
  }
  ~MessageBoxRecorder() { SetMessageBoxHook(nullptr); }
  std::vector<MessageBoxCall> calls;
};

TEST(DialogTemplateLayout, DialogUnitsScaleWithTheFontsBaseUnits) {
  DialogTemplate small = PageTemplate(0, "Small");
  DialogTemplate large = small;
  large.fontSize = 16;
  const CDialogBuilder smallBuilder(small), largeBuilder(large);

  const QFontMetrics metrics(smallBuilder.Font());
  const int averageWidth = qRound(metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0);
  EXPECT_EQ(smallBuilder.BaseUnits().x, averageWidth);
  EXPECT_EQ(smallBuilder.BaseUnits().y, metrics.height());
  EXPECT_EQ(smallBuilder.Font().family(), QApplication::font().family());
  EXPECT_EQ(smallBuilder.Font().pointSize(), 8);
  EXPECT_GT(largeBuilder.BaseUnits().x, smallBuilder.BaseUnits().x);

  for (const CDialogBuilder* builder : {&smallBuilder, &largeBuilder}) {
    FormDialog dialog(builder == &smallBuilder ? small : large);
    ASSERT_TRUE(dialog.Create());
    const DialogBaseUnits units = builder->BaseUnits();
    const QRect button = dialog.ControlById(kButton)->geometry();
    EXPECT_EQ(button, QRect(MulDiv(140, units.x, 4), MulDiv(14, units.y, 8), MulDiv(50, units.x, 4), MulDiv(14, units.y, 8)));
    EXPECT_EQ(dialog.GetWidget()->size(), QSize(MulDiv(200, units.x, 4), MulDiv(100, units.y, 8)));
  }
}

TEST(DialogTemplateLayout, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(3, 3, 2), 5);     // 4.5
  EXPECT_EQ(MulDiv(-3, 3, 2), -5);   // -4.5
  EXPECT_EQ(MulDiv(10, 7, 4), 18);   // 17.5
  EXPECT_EQ(MulDiv(5, 6, 8), 4);     // 3.75
  EXPECT_EQ(MulDiv(1, 1, 0), 0);
}

TEST(DialogTemplateLayout, ControlsAreFoundByIdWithTheirCaptionsAndStyles) {
  DialogTemplate t = PageTemplate(0, "Caption");
  t.controls.push_back({200, ControlKind::DefButton, "Save && &Quit", WS_TABSTOP | WS_DISABLED, 0, 0, 40, 14});
  t.controls.push_back({201, ControlKind::Edit, "ro", ES_READONLY, 0, 0, 40, 14});
  t.controls.push_back({IDC_STATIC, ControlKind::Static, "&Orphan", 0, 0, 90, 40, 8});
  FormDialog dialog(t);
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(dialog.GetWidget()->windowTitle(), "Caption");

  auto* go = Control<QPushButton>(dialog, kButton);
  ASSERT_NE(go, nullptr);
  EXPECT_EQ(go->text(), "&Go");
  EXPECT_EQ(dialog.GetDlgItemText(kButton), "&Go");
  EXPECT_EQ(dialog.GetDlgItem(kButton)->GetDlgCtrlID(), kButton);
  EXPECT_NE(Control<QPlainTextEdit>(dialog, kMultiLine), nullptr);
  EXPECT_EQ(dialog.ControlById(999), nullptr);
  EXPECT_EQ(dialog.GetDlgItem(999), nullptr);

  auto* save = Control<QPushButton>(dialog, 200);
  EXPECT_TRUE(save->isDefault());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(Control<QLineEdit>(dialog, 201)->isReadOnly());

  // A label's mnemonic belongs to the next control that takes the focus; a
  // label with none shows its text without the marker.
  QList<QLabel*> labels = dialog.GetWidget()->findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 2);
  EXPECT_EQ(labels[0]->text(), "&Name");
  EXPECT_EQ(labels[0]->buddy(), dialog.ControlById(kEdit));
  EXPECT_EQ(labels[1]->text(), "Orphan");
}

TEST(DialogTemplateLayout, ARegisteredFactorySuppliesTheReportList) {
  DialogTemplate t;
  t.id = 9301;
  t.cx = t.cy = 50;
  t.controls = {{1000, ControlKind::ListView, "List1", WS_TABSTOP, 2, 2, 40, 40}};
  RegisterDialogTemplate(t);
  ASSERT_NE(FindDialogTemplate(9301), nullptr);
  EXPECT_EQ(FindDialogTemplate(9302), nullptr);

  {
    CDialog plain(9301);
    ASSERT_TRUE(plain.Create());
    EXPECT_NE(plain.ControlById(1000), nullptr);  // a placeholder
  }
  CDialogBuilder::SetControlFactory(ControlKind::ListView, [](const ControlTemplate& c, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromStdString(c.caption));
    return list;
  });
  CDialog custom(9301);
  ASSERT_TRUE(custom.Create());
  CDialogBuilder::SetControlFactory(ControlKind::ListView, nullptr);
  auto* list = Control<QListWidget>(custom, 1000);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->objectName(), "ctrl_1000");  // the framework names controls by id

  CDialog missing(9399);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_FALSE(missing.Create());
}

TEST(DataExchange, RoundTripsEveryKindOfMember) {
  FormDialog dialog;
  dialog.m_listIndex = 1;
  dialog.m_comboIndex = 1;
  dialog.m_check = BST_CHECKED;
  dialog.m_number = -12;
  dialog.m_lines = "one\r\ntwo";
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(Control<QLineEdit>(dialog, kEdit)->text(), "initial");
  EXPECT_EQ(dialog.m_list.GetCurSel(), 1);
  EXPECT_EQ(dialog.m_combo.GetCurSel(), 1);
  EXPECT_TRUE(Control<QCheckBox>(dialog, kCheck)->isChecked());
  EXPECT_EQ(Control<QLineEdit>(dialog, kNumber)->text(), "-12");
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, kMultiLine)->toPlainText(), "one\ntwo");

  Control<QLineEdit>(dialog, kEdit)->setText("edited");
  dialog.m_list.SetCurSel(-1);
  dialog.m_combo.SetCurSel(0);
  Control<QCheckBox>(dialog, kCheck)->setChecked(false);
  Control<QLineEdit>(dialog, kNumber)->setText(" 77 ");
  Control<QPlainTextEdit>(dialog, kMultiLine)->setPlainText("a\nb\nc");
  ASSERT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(dialog.m_text, "edited");
  EXPECT_EQ(dialog.m_listIndex, -1);
  EXPECT_EQ(dialog.m_comboIndex, 0);
  EXPECT_EQ(dialog.m_check, BST_UNCHECKED);
  EXPECT_EQ(dialog.m_number, 77);
  EXPECT_EQ(dialog.m_lines, "a\r\nb\r\nc");  // multi-line text ends its lines with CR LF
}

TEST(DataExchange, ABadNumberFailsTheExchangeWithAMessage) {
  MessageBoxRecorder boxes;
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create());
  dialog.m_text = "kept";
  Control<QLineEdit>(dialog, kEdit)->setText("read");
  Control<QLineEdit>(dialog, kNumber)->setText("12x");
  EXPECT_FALSE(dialog.UpdateData(TRUE));
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, "Please enter an integer.");
  EXPECT_EQ(dialog.m_number, 0);
  EXPECT_EQ(dialog.m_text, "read");  // fields before the bad one were read

  Control<QLineEdit>(dialog, kNumber)->setText("99999999999");
  EXPECT_FALSE(dialog.UpdateData(TRUE));
}

TEST(DataExchange, AMissingControlFailsInsteadOfCrashing) {
  struct Broken : CDialog {
    Broken() : CDialog(PageTemplate(0, "B")) {}
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 4242, value); }
    CString value;
  } broken;
  ASSERT_TRUE(broken.Create());
  EXPECT_FALSE(broken.UpdateData(TRUE));
  EXPECT_FALSE(broken.UpdateData(FALSE));
  CDialog windowless(PageTemplate(0, "W"));
  EXPECT_FALSE(windowless.UpdateData(TRUE));
}

TEST(ControlNotifications, ComeFromTheUserNotFromTheProgram) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create());
  dialog.events.clear();

  dialog.m_list.SetCurSel(2);
  dialog.m_list.AddString("three");
  dialog.m_combo.SetCurSel(1);
  EXPECT_TRUE(dialog.events.empty());

  auto* list = Control<QListWidget>(dialog, kList);
  const QPoint row0 = list->visualItemRect(list->item(0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row0);
  EXPECT_EQ(dialog.m_list.GetCurSel(), 0);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row0);
  QTest::mouseClick(Control<QPushButton>(dialog, kButton), Qt::LeftButton);
  QTest::keyClicks(Control<QLineEdit>(dialog, kEdit), "x");
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"selchange", "dblclk", "clicked", "changed"}));

  // A single-line edit reports text set by the program too; a multi-line
  // edit does not, as on the original system.
  dialog.events.clear();
  dialog.SetDlgItemText(kEdit, "set");
  dialog.SetDlgItemText(kMultiLine, "set");
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"changed"}));
}

TEST(ControlNotifications, ListBoxesWithoutNotifyStaySilent) {
  DialogTemplate t = PageTemplate(0, "Quiet");
  t.controls[2].style &= ~LBS_NOTIFY;
  FormDialog dialog(t);
  ASSERT_TRUE(dialog.Create());
  dialog.events.clear();
  auto* list = Control<QListWidget>(dialog, kList);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  EXPECT_EQ(dialog.m_list.GetCurSel(), 1);
  EXPECT_TRUE(dialog.events.empty());
}

TEST(ModalDialog, EnterWithoutADefaultButtonIsOkAndEscapeIsCancel) {
  FormDialog dialog;
  QTimer::singleShot(0, [&] {
    QTest::keyClicks(Control<QLineEdit>(dialog, kEdit), "!");
    QTest::keyClick(Control<QLineEdit>(dialog, kEdit), Qt::Key_Return);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_text, "initial!");  // OnOK read the controls
  EXPECT_FALSE(dialog.HasWindow());

  QTimer::singleShot(0, [&] { QTest::keyClick(dialog.GetWidget(), Qt::Key_Escape); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);

  struct EndsAtOnce : FormDialog {
    BOOL OnInitDialog() override {
      EndDialog(77);
      return TRUE;
    }
  } quick;
  EXPECT_EQ(quick.DoModal(), 77);
}

TEST(ModalDialog, AWorkerThreadCanEndTheDialog) {
  FormDialog dialog;
  std::thread worker;
  QTimer::singleShot(0, [&] { worker = std::thread([&] { dialog.EndDialog(5); }); });
  EXPECT_EQ(dialog.DoModal(), 5);
  worker.join();
}

TEST(ModalDialog, SetDefIdChoosesWhatEnterPresses) {
  FormDialog dialog;
  QTimer::singleShot(0, [&] {
    dialog.SetDefID(kButton);
    EXPECT_EQ(dialog.GetDefID(), static_cast<DWORD>(kButton));
    QTest::keyClick(Control<QLineEdit>(dialog, kNumber), Qt::Key_Return);
    dialog.EndDialog(IDCANCEL);
  });
  dialog.DoModal();
  EXPECT_EQ(std::count(dialog.events.begin(), dialog.events.end(), "clicked"), 1);
}

TEST(ModalDialog, FocusMovesToAControlAndAlongTheTabOrder) {
  FormDialog dialog;
  QTimer::singleShot(0, [&] {
    dialog.GotoDlgCtrl(dialog.GetDlgItem(kButton));
    EXPECT_EQ(dialog.GetWidget()->focusWidget(), dialog.ControlById(kButton));
    dialog.NextDlgCtrl();
    EXPECT_EQ(dialog.GetWidget()->focusWidget(), dialog.ControlById(kCheck));
    dialog.PrevDlgCtrl();
    EXPECT_EQ(dialog.GetWidget()->focusWidget(), dialog.ControlById(kButton));
    dialog.EndDialog(IDCANCEL);
  });
  dialog.DoModal();
}

TEST(ControlWrappers, EditSelectionReplaceAndCopyToTheClipboard) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create());
  CEdit edit;
  ASSERT_TRUE(edit.SubclassDlgItem(kMultiLine, &dialog));
  edit.SetWindowText("alpha;beta");
  edit.SetSel(0, 0xFFFF);
  int start = -1, end = -1;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 10);
  edit.Copy();
  EXPECT_EQ(QApplication::clipboard()->text(), "alpha;beta");
  edit.SetSel(0, 5);
  edit.ReplaceSel("gamma");
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, "gamma;beta");
  EXPECT_TRUE(edit.SetReadOnly(TRUE));
  EXPECT_TRUE(Control<QPlainTextEdit>(dialog, kMultiLine)->isReadOnly());
  // A control belongs to one object at a time.
  CEdit second;
  EXPECT_FALSE(second.SubclassDlgItem(kMultiLine, &dialog));
}

TEST(ControlWrappers, ListBoxItemsDataAndBadIndexes) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create());
  CListBox& list = dialog.m_list;
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.InsertString(1, "half"), 1);
  EXPECT_EQ(list.SetItemData(1, 0xABCD), LB_OKAY);
  EXPECT_EQ(list.GetItemData(1), 0xABCDu);
  CString text;
  EXPECT_EQ(list.GetText(1, text), 4);
  EXPECT_EQ(text, "half");
  EXPECT_EQ(list.FindStringExact(-1, "TWO"), 3);
  EXPECT_EQ(list.DeleteString(0), 3);
  EXPECT_EQ(list.GetText(7, text), LB_ERR);
  EXPECT_EQ(list.SetCurSel(7), LB_ERR);
  EXPECT_EQ(list.GetCurSel(), LB_ERR);
  EXPECT_EQ(list.DeleteString(-1), LB_ERR);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
  CListBox unbound;
  EXPECT_EQ(unbound.AddString("x"), LB_ERR);
  EXPECT_EQ(unbound.GetCurSel(), LB_ERR);
}

TEST(ControlWrappers, EnableAndTextByIdAndTheWindowsOwnText) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create());
  dialog.EnableWindow(kButton, FALSE);
  EXPECT_FALSE(dialog.GetDlgItem(kButton)->IsWindowEnabled());
  EXPECT_TRUE(dialog.GetDlgItem(kButton)->EnableWindow(TRUE));  // it was disabled
  dialog.SetWindowText("New title");
  EXPECT_EQ(dialog.GetWidget()->windowTitle(), "New title");
  dialog.CheckDlgButton(kCheck, BST_CHECKED);
  EXPECT_EQ(dialog.IsDlgButtonChecked(kCheck), static_cast<UINT>(BST_CHECKED));
  char buffer[4];
  dialog.SetDlgItemText(kEdit, "truncated");
  EXPECT_EQ(dialog.GetDlgItem(kEdit)->GetWindowText(buffer, sizeof buffer), 3);
  EXPECT_STREQ(buffer, "tru");
}

}  // namespace
