#include "WidgetText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace {

QString ToMultiLine(const std::string& text) {
  return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string FromMultiLine(const QString& text) {
  return QString(text).replace(u'\n', QStringLiteral("\r\n")).toStdString();
}

}  // namespace

std::string WidgetText(const QWidget* widget) {
  if (!widget) return {};
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text().toStdString();
  if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return FromMultiLine(edit->toPlainText());
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text().toStdString();
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title().toStdString();
  if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText().toStdString();
  if (widget->isWindow()) return widget->windowTitle().toStdString();
  return widget->property("windowText").toString().toStdString();
}

void SetWidgetText(QWidget* widget, const std::string& text) {
  if (!widget) return;
  const QString value = QString::fromStdString(text);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(value);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    const QSignalBlocker quiet(edit);
    edit->setPlainText(ToMultiLine(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(value);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    if (combo->isEditable())
      combo->setEditText(value);
    else
      combo->setCurrentIndex(combo->findText(value, Qt::MatchFixedString));
  } else if (widget->isWindow()) {
    widget->setWindowTitle(value);
  } else {
    widget->setProperty("windowText", value);
  }
}
