#include "DataLinkMessage.h"

#include <QObject>

#include "ErrorRecordBoxes.h"
#include "HwndMap.h"
#include "MessageBox.h"

int ShowDataLinkMessage(QWidget* owner, const QString& text, UINT type) {
  return MessageBoxA(HwndFromWidget(owner), text.toUtf8().constData(), kDataLinkCaption, type);
}

void ShowPropertiesNotSet(QWidget* owner, HRESULT failure, const QStringList& rejected) {
  if (rejected.isEmpty()) {
    ShowErrorRecordBoxes(owner, failure, "The properties could not be set.", kDataLinkCaption);
    return;
  }
  ShowDataLinkMessage(owner, QObject::tr("The provider did not accept these values:\n\n") + rejected.join('\n'),
                      MB_OK | MB_ICONERROR);
}
