#include "CDialogBuilder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <cstdlib>
#include <map>
#include <strings.h>

#include "DialogWindow.h"
#include "IconResources.h"
#include "MultiLineEdit.h"
#include "SingleSelectionList.h"

namespace {

constexpr const char* kIdProperty = "dlgCtrlId";
constexpr const char* kStyleProperty = "dlgCtrlStyle";

std::map<ControlKind, CDialogBuilder::ControlFactory>& Factories() {
  static std::map<ControlKind, CDialogBuilder::ControlFactory> factories;
  return factories;
}

// The dialog fonts of the original system name no font here; they stand for
// the desktop's own sans-serif font.
bool IsShellDialogFont(const std::string& name) {
  for (const char* alias : {"", "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "System"})
    if (strcasecmp(name.c_str(), alias) == 0) return true;
  return false;
}

QFont DialogFont(const DialogTemplate& tmpl) {
  QFont font = IsShellDialogFont(tmpl.fontName) ? QApplication::font() : QFont(QString::fromStdString(tmpl.fontName));
  font.setPointSize(tmpl.fontSize > 0 ? tmpl.fontSize : 8);
  return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(width + 26) / 52, metrics.height()};
}

// "&&" is a literal ampersand; a single '&' only marks the next character.
QString WithoutMnemonic(const std::string& caption) {
  QString out;
  const QString text = QString::fromStdString(caption);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

bool HasMnemonic(const std::string& caption) { return WithoutMnemonic(caption).size() != QString::fromStdString(caption).size(); }

bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::Static && kind != ControlKind::GroupBox && kind != ControlKind::Icon;
}

QWidget* CreateEdit(const ControlTemplate& c, QWidget* parent) {
  if (c.style & ES_MULTILINE) {
    auto* edit = new MultiLineEdit(c.style & ES_WANTRETURN, parent);
    const bool wraps = !(c.style & (ES_AUTOHSCROLL | WS_HSCROLL));
    edit->setLineWrapMode(wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy((c.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy((c.style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);  // Tab moves between controls, as in every dialog
    edit->setReadOnly(c.style & ES_READONLY);
    edit->setPlainText(QString::fromStdString(c.caption));
    return edit;
  }
  auto* edit = new QLineEdit(QString::fromStdString(c.caption), parent);
  edit->setReadOnly(c.style & ES_READONLY);
  if (c.style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
  if ((c.style & 0x3) == ES_CENTER) edit->setAlignment(Qt::AlignCenter);
  if ((c.style & 0x3) == ES_RIGHT) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return edit;
}

QWidget* CreateStatic(const ControlTemplate& c, QWidget* parent) {
  auto* label = new QLabel(parent);
  const DWORD type = c.style & SS_TYPEMASK;
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
  Qt::Alignment align = Qt::AlignTop;
  align |= type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
  if (c.style & SS_CENTERIMAGE) align = (align & ~Qt::AlignTop) | Qt::AlignVCenter;
  label->setAlignment(align);
  if (c.style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // The mnemonic is kept until a buddy is found (see AttachLabelBuddies).
  label->setText(QString::fromStdString(c.caption));
  return label;
}

QWidget* CreateIcon(const ControlTemplate& c, QWidget* parent) {
  auto* label = new QLabel(parent);
  const std::string digits = c.caption.starts_with('#') ? c.caption.substr(1) : c.caption;
  const QIcon icon = LoadIconResource(std::atoi(digits.c_str()));
  if (!icon.isNull()) label->setPixmap(icon.pixmap(32, 32));
  return label;
}

QWidget* CreateButton(const ControlTemplate& c, QWidget* parent) {
  auto* button = new QPushButton(QString::fromStdString(c.caption), parent);
  button->setFlat(c.style & BS_FLAT);
  // Only the template or SetDefID makes a default button; Enter on a focused
  // button is handled by the dialog window.
  button->setAutoDefault(false);
  DialogWindow::SetDefaultButton(button,
                                 c.kind == ControlKind::DefButton || (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
  return button;
}

QWidget* CreateListBox(const ControlTemplate& c, QWidget* parent) {
  auto* list = new SingleSelectionList(parent);
  list->setVerticalScrollBarPolicy((c.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setHorizontalScrollBarPolicy((c.style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  return list;
}

QWidget* CreateComboBox(const ControlTemplate& c, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable((c.style & 0x3) != CBS_DROPDOWNLIST);
  return combo;
}

QWidget* CreateListViewPlaceholder(const ControlTemplate&, QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  return frame;
}

QWidget* CreateBuiltIn(const ControlTemplate& c, QWidget* parent) {
  switch (c.kind) {
    case ControlKind::Static: return CreateStatic(c, parent);
    case ControlKind::Edit: return CreateEdit(c, parent);
    case ControlKind::Button:
    case ControlKind::DefButton: return CreateButton(c, parent);
    case ControlKind::CheckBox: return new QCheckBox(QString::fromStdString(c.caption), parent);
    case ControlKind::Radio: return new QRadioButton(QString::fromStdString(c.caption), parent);
    case ControlKind::GroupBox: return new QGroupBox(QString::fromStdString(c.caption), parent);
    case ControlKind::ListBox: return CreateListBox(c, parent);
    case ControlKind::ComboBox: return CreateComboBox(c, parent);
    case ControlKind::ListView: return CreateListViewPlaceholder(c, parent);
    case ControlKind::Icon: return CreateIcon(c, parent);
  }
  return nullptr;
}

// A label's mnemonic moves the focus to the next control that can take it,
// as in the original dialogs; a label with no such control shows its text
// without the marker.
void AttachLabelBuddies(const std::vector<BuiltControl>& built) {
  for (size_t i = 0; i < built.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(built[i].widget);
    const ControlTemplate& c = *built[i].source;
    if (!label || c.kind != ControlKind::Static || (c.style & SS_NOPREFIX)) continue;
    QWidget* buddy = nullptr;
    for (size_t j = i + 1; j < built.size() && !buddy; ++j)
      if (TakesFocus(built[j].source->kind)) buddy = built[j].widget;
    if (buddy && HasMnemonic(c.caption)) {
      label->setBuddy(buddy);  // plain text with a buddy shows the mnemonic underlined
    } else {
      label->setText(WithoutMnemonic(c.caption));
    }
  }
}

// Radio buttons exclude each other within a run that starts at WS_GROUP.
void GroupRadioButtons(const std::vector<BuiltControl>& built, QWidget* window) {
  QButtonGroup* group = nullptr;
  for (const BuiltControl& b : built) {
    auto* radio = qobject_cast<QRadioButton*>(b.widget);
    if (!radio) {
      if (b.source->style & WS_GROUP) group = nullptr;
      continue;
    }
    if (!group || (b.source->style & WS_GROUP)) group = new QButtonGroup(window);
    group->addButton(radio);
  }
}

}  // namespace

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return 0;
  const long long product = static_cast<long long>(number) * numerator;
  const long long half = std::llabs(denominator) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(denominator);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int ControlIdOf(const QWidget* widget) {
  const QVariant id = widget ? widget->property(kIdProperty) : QVariant();
  return id.isValid() ? id.toInt() : IDC_STATIC;
}

DWORD ControlStyleOf(const QWidget* widget) {
  const QVariant style = widget ? widget->property(kStyleProperty) : QVariant();
  return style.isValid() ? style.toUInt() : 0;
}

void CDialogBuilder::SetControlFactory(ControlKind kind, ControlFactory factory) {
  if (factory)
    Factories()[kind] = std::move(factory);
  else
    Factories().erase(kind);
}

CDialogBuilder::CDialogBuilder(const DialogTemplate& dialogTemplate)
    : m_template(dialogTemplate), m_font(DialogFont(dialogTemplate)), m_units(BaseUnitsOf(m_font)) {}

QRect CDialogBuilder::ToPixels(int x, int y, int cx, int cy) const {
  return QRect(MulDiv(x, m_units.x, 4), MulDiv(y, m_units.y, 8), MulDiv(cx, m_units.x, 4),
               MulDiv(cy, m_units.y, 8));
}

QSize CDialogBuilder::WindowSize() const { return ToPixels(0, 0, m_template.cx, m_template.cy).size(); }

QWidget* CDialogBuilder::CreateControl(const ControlTemplate& c, QWidget* window) const {
  const auto factory = Factories().find(c.kind);
  QWidget* widget = factory != Factories().end() ? factory->second(c, window) : CreateBuiltIn(c, window);
  if (!widget) widget = CreateListViewPlaceholder(c, window);  // a factory that declines
  if (widget->parentWidget() != window) widget->setParent(window);
  widget->setProperty(kIdProperty, c.id);
  widget->setProperty(kStyleProperty, static_cast<uint>(c.style));
  if (c.id != IDC_STATIC) widget->setObjectName(QStringLiteral("ctrl_%1").arg(c.id));
  QRect rect = ToPixels(c.x, c.y, c.cx, c.cy);
  if (c.kind == ControlKind::ComboBox) rect.setHeight(widget->sizeHint().height());
  if (c.kind == ControlKind::Icon) rect.setSize(QSize(32, 32));
  widget->setGeometry(rect);
  widget->setEnabled(!(c.style & WS_DISABLED));
  if (TakesFocus(c.kind)) widget->setFocusPolicy((c.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  return widget;
}

std::vector<BuiltControl> CDialogBuilder::Build(QWidget* window) const {
  window->setFont(m_font);
  window->setFixedSize(WindowSize());
  std::vector<BuiltControl> built;
  built.reserve(m_template.controls.size());
  for (const ControlTemplate& c : m_template.controls) built.push_back({&c, CreateControl(c, window)});
  AttachLabelBuddies(built);
  GroupRadioButtons(built, window);
  for (const BuiltControl& b : built) b.widget->show();
  return built;
}
