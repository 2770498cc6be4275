// Lays a dialog template out as widgets: dialog units become pixels through
// the base units of the template's font, each control becomes the widget of
// its kind and carries its numeric id.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <functional>
#include <vector>

#include "DialogTemplate.h"

class QWidget;

struct DialogBaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

struct BuiltControl {
  const ControlTemplate* source = nullptr;
  QWidget* widget = nullptr;
};

// Rounds half away from zero; 0 when the divisor is 0.
int MulDiv(int number, int numerator, int denominator);

// The widget's dialog id, or IDC_STATIC when it has none.
int ControlIdOf(const QWidget* widget);
// The style flags the template gave the widget.
DWORD ControlStyleOf(const QWidget* widget);

class CDialogBuilder {
 public:
  using ControlFactory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

  // Lets a later layer supply the widget for a kind (the report list);
  // an empty factory restores the built-in widget.
  static void SetControlFactory(ControlKind kind, ControlFactory factory);

  explicit CDialogBuilder(const DialogTemplate& dialogTemplate);

  QFont Font() const { return m_font; }
  DialogBaseUnits BaseUnits() const { return m_units; }
  QSize WindowSize() const;
  QRect ToPixels(int x, int y, int cx, int cy) const;

  // Creates every control as a child of the window, in template order
  // (which is also the tab order), and sizes the window.
  std::vector<BuiltControl> Build(QWidget* window) const;

 private:
  QWidget* CreateControl(const ControlTemplate& control, QWidget* window) const;
  const DialogTemplate& m_template;
  QFont m_font;
  DialogBaseUnits m_units;
};
