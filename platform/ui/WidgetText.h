// The window text of any widget the dialogs use, with the original system's
// conventions: multi-line edits give lines ending in "\r\n", and setting
// their text programmatically raises no change notification.
#pragma once

#include <string>

class QWidget;

std::string WidgetText(const QWidget* widget);
void SetWidgetText(QWidget* widget, const std::string& text);
