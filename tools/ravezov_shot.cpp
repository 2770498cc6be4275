// Writes a PNG of the main sheet in a chosen state:
//   ravezov_shot [--connect INITSTRING] [--tab N] [--select TEXT] [--type TEXT] [--press ID] [--window] FILE.png
// --connect connects through the Connection String Builder with the string,
// --tab selects a tab by index, --select selects the row of the current
// page's list whose first column reads TEXT, --type types TEXT into the
// current page's multi-line edit (as the user would), --press clicks a control of the current
// page by its numeric id, --window pictures the topmost window (a dialog
// the press opened) instead of the sheet. Message boxes are answered with
// their first button and written to the standard error.
#include <QApplication>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "AppTitle.h"
#include "CListCtrl.h"
#include "CMainPropertySheet.h"
#include "DARizozezPage.h"
#include "MessageBox.h"
#include "Resources.h"
#include "objbase.h"

namespace {

struct ShotOptions {
  std::string output;
  std::optional<std::string> initString;
  int tab = 0;
  std::optional<std::string> select;
  std::optional<std::string> typed;
  std::optional<int> press;
  bool topmostWindow = false;
};

void Usage() {
  std::fprintf(stderr,
               "usage: ravezov_shot [--connect INITSTRING] [--tab N] [--select TEXT] [--type TEXT] [--press ID] [--window] "
               "FILE.png\n");
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
      options.select = argv[++i];
    } else if (arg == "--type" && hasValue) {
      options.typed = argv[++i];
    } else if ((arg == "--tab" || arg == "--press") && hasValue) {
      const std::optional<int> number = ParseNumber(argv[++i]);
      if (!number) return std::nullopt;
      (arg == "--tab" ? options.tab : options.press.emplace()) = *number;
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

void Select(CMainPropertySheet& sheet, const std::string& text) {
  CPropertyPage* page = sheet.GetActivePage();
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

// Typing changes the text the way a user does, so the page hears of it.
void Type(CMainPropertySheet& sheet, const std::string& text) {
  CPropertyPage* page = sheet.GetActivePage();
  auto* edit = page ? page->GetWidget()->findChild<QPlainTextEdit*>() : nullptr;
  if (edit)
    edit->insertPlainText(QString::fromStdString(text));
  else
    std::fprintf(stderr, "no multi-line edit on the current page\n");
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
  if (options.select) Select(sheet, *options.select);
  if (options.typed) Type(sheet, *options.typed);
  bool saved = false;
  // A press may open a modal dialog, so it runs from the event loop and the
  // picture is taken from a timer that fires inside that dialog's loop too.
  if (options.press) QTimer::singleShot(0, [&] { Press(sheet, *options.press); });
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
