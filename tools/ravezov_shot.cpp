// Writes a PNG of the main sheet in a chosen state:
//   ravezov_shot [--connect INITSTRING] [--tab N] [--select TEXT | --type TEXT | --press ID]...
//                [--window] FILE.png
// --connect connects through the Connection String Builder with the string,
// --tab selects a tab by index. Then --select, --type and --press act on the
// current page in the order given, each as often as wanted: --select picks
// the row of a list view (by its first column) or the item of a list box
// whose text reads TEXT, as a click would; --type replaces the text of the
// page's first editable single-line edit (else its multi-line edit) as typing would; --press clicks a
// control by its numeric id. --window pictures the topmost window (a dialog
// a press opened) instead of the sheet; a press that opens a modal dialog
// is best given last. Message boxes are answered with their first button
// and written to the standard error.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "AppTitle.h"
#include "CListCtrl.h"
#include "CMainPropertySheet.h"
#include "DARizozezPage.h"
#include "MessageBox.h"
#include "Resources.h"
#include "objbase.h"

namespace {

struct PageAction {
  enum class Kind { Select, Type, Press } kind;
  std::string text;
  int id = 0;
};

struct ShotOptions {
  std::string output;
  std::optional<std::string> initString;
  int tab = 0;
  std::vector<PageAction> actions;
  bool topmostWindow = false;
};

void Usage() {
  std::fprintf(stderr,
               "usage: ravezov_shot [--connect INITSTRING] [--tab N] [--select TEXT | --type TEXT | --press ID]... "
               "[--window] FILE.png\n");
}

std::optional<int> ParseNumber(const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 0);
  if (!text[0] || *end) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<ShotOptions> ParseArguments(int argc, char** argv) {
  ShotOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--connect" && hasValue) {
      options.initString = argv[++i];
    } else if (arg == "--select" && hasValue) {
      options.actions.push_back({PageAction::Kind::Select, argv[++i]});
    } else if (arg == "--type" && hasValue) {
      options.actions.push_back({PageAction::Kind::Type, argv[++i]});
    } else if ((arg == "--tab" || arg == "--press") && hasValue) {
      const std::optional<int> number = ParseNumber(argv[++i]);
      if (!number) return std::nullopt;
      if (arg == "--tab")
        options.tab = *number;
      else
        options.actions.push_back({PageAction::Kind::Press, {}, *number});
    } else if (arg == "--window") {
      options.topmostWindow = true;
    } else if (!arg.starts_with("--") && options.output.empty()) {
      options.output = arg;
    } else {
      return std::nullopt;
    }
  }
  if (options.output.empty()) return std::nullopt;
  return options;
}

int AnswerWithFirstButton(const MessageBoxCall& call) {
  std::fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
  return (call.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

void Connect(CMainPropertySheet& sheet, const std::string& initString) {
  auto* builder = dynamic_cast<DARizozezPage*>(sheet.GetPage(0));
  if (!builder || !builder->HasWindow()) return;
  builder->m_strConnection = initString.c_str();
  builder->UpdateData(FALSE);
  builder->OnConnect();
}

bool SelectListBoxItem(CPropertyPage& page, const std::string& text) {
  for (QListWidget* list : page.GetWidget()->findChildren<QListWidget*>()) {
    const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    if (found.isEmpty()) continue;
    list->setCurrentItem(found.front());  // raises the selection notification, as a click does
    list->scrollToItem(found.front());
    return true;
  }
  return false;
}

void Select(CMainPropertySheet& sheet, const std::string& text) {
  CPropertyPage* page = sheet.GetActivePage();
  if (page && SelectListBoxItem(*page, text)) return;
  const auto views = page ? page->GetWidget()->findChildren<ReportListView*>() : QList<ReportListView*>();
  for (ReportListView* view : views) {
    CListCtrl borrowed;  // the page's own list object, if any, stays untouched
    borrowed.Borrow(view);
    LVFINDINFO find;
    find.flags = LVFI_STRING;
    find.psz = text.c_str();
    const int item = borrowed.FindItem(&find, -1);
    if (item >= 0) {
      borrowed.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
      borrowed.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      borrowed.EnsureVisible(item, FALSE);
    }
    borrowed.Detach();
    if (item >= 0) return;
  }
  std::fprintf(stderr, "no row \"%s\" in a list of the current page\n", text.c_str());
}

void Press(CMainPropertySheet& sheet, int id) {
  CPropertyPage* page = sheet.GetActivePage();
  auto* button = page ? qobject_cast<QPushButton*>(page->ControlById(id)) : nullptr;
  if (!button) button = sheet.GetDlgItem(id) ? qobject_cast<QPushButton*>(sheet.GetDlgItem(id)->GetWidget()) : nullptr;
  if (button && button->isEnabled())
    button->click();
  else
    std::fprintf(stderr, "no enabled button %d on the current page\n", id);
}

void Type(CMainPropertySheet& sheet, const std::string& text) {
  CPropertyPage* page = sheet.GetActivePage();
  for (QLineEdit* edit : page ? page->GetWidget()->findChildren<QLineEdit*>() : QList<QLineEdit*>()) {
    if (edit->isReadOnly() || !edit->isEnabled()) continue;
    edit->setFocus();
    edit->selectAll();
    edit->insert(QString::fromStdString(text));  // raises the change notification, as typing does
    return;
  }
  // Pages with a multi-line edit (the command text) take the text there.
  if (auto* text_edit = page ? page->GetWidget()->findChild<QPlainTextEdit*>() : nullptr) {
    text_edit->setFocus();
    text_edit->selectAll();
    text_edit->insertPlainText(QString::fromStdString(text));
    return;
  }
  std::fprintf(stderr, "no editable field on the current page\n");
}

void RunActions(CMainPropertySheet& sheet, const std::vector<PageAction>& actions) {
  for (const PageAction& action : actions) {
    switch (action.kind) {
      case PageAction::Kind::Select: Select(sheet, action.text); break;
      case PageAction::Kind::Type: Type(sheet, action.text); break;
      case PageAction::Kind::Press: Press(sheet, action.id); break;
    }
  }
}

bool SavePicture(const ShotOptions& options, QWidget* sheetWindow) {
  QWidget* target = sheetWindow;
  if (options.topmostWindow && QApplication::activeModalWidget()) target = QApplication::activeModalWidget();
  const QPixmap picture = target->grab();
  return picture.save(QString::fromStdString(options.output), "PNG");
}

int Run(const ShotOptions& options) {
  RegisterAllResources();
  SetMessageBoxHook(AnswerWithFirstButton);
  CMainPropertySheet sheet(kAppTitle);
  AddToolPages(sheet);
  if (!sheet.Create()) return 1;
  if (options.initString) Connect(sheet, *options.initString);
  sheet.SetActivePage(options.tab);
  bool saved = false;
  // A press may open a modal dialog, so the actions run from the event loop
  // and the picture is taken from a timer that fires inside that dialog's
  // loop too.
  QTimer::singleShot(0, [&] { RunActions(sheet, options.actions); });
  QTimer::singleShot(700, [&] {
    saved = SavePicture(options, sheet.GetWidget());
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != sheet.GetWidget()) modal->close();
    QTimer::singleShot(0, [] { QApplication::quit(); });
  });
  QApplication::exec();
  if (!saved) std::fprintf(stderr, "could not write %s\n", options.output.c_str());
  return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<ShotOptions> options = ParseArguments(argc, argv);
  if (!options) {
    Usage();
    return 2;
  }
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  CoInitialize(nullptr);
  const int result = Run(*options);
  CoUninitialize();
  return result;
}
