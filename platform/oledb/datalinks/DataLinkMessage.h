// The dialogs' own messages, captioned "Data Link Properties".
#pragma once

#include <QString>

#include "UiDefs.h"

class QWidget;

inline constexpr const char* kDataLinkCaption = "Data Link Properties";

int ShowDataLinkMessage(QWidget* owner, const QString& text, UINT type);
