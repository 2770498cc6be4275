#include "DataLinksTestHook.h"

#include <QDialog>
#include <QTimer>
#include <utility>

namespace {

DataLinksDialogHook& Hook() {
  static DataLinksDialogHook hook;
  return hook;
}

}  // namespace

DataLinksDialogHook SetDataLinksDialogHook(DataLinksDialogHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

int ExecDataLinksDialog(QDialog& dialog) {
  if (DataLinksDialogHook hook = Hook()) {
    QTimer::singleShot(0, &dialog, [&dialog, hook] { hook(dialog); });
  }
  return dialog.exec();
}
