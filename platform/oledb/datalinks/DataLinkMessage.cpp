#include "DataLinkMessage.h"

#include "HwndMap.h"
#include "MessageBox.h"

int ShowDataLinkMessage(QWidget* owner, const QString& text, UINT type) {
  return MessageBoxA(HwndFromWidget(owner), text.toUtf8().constData(), kDataLinkCaption, type);
}
