// The dialogs' own messages, captioned "Data Link Properties".
#pragma once

#include <QString>
#include <QStringList>

#include "UiDefs.h"

class QWidget;

inline constexpr const char* kDataLinkCaption = "Data Link Properties";

int ShowDataLinkMessage(QWidget* owner, const QString& text, UINT type);

// After properties could not be set: names the values the provider refused,
// or shows the provider's error records when it refused none by name.
void ShowPropertiesNotSet(QWidget* owner, HRESULT failure, const QStringList& rejected);
