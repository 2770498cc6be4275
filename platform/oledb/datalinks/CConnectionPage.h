// A page that edits some of a provider's initialization properties; the
// Connection tab and the provider prompt show one.
#pragma once

#include <QString>
#include <QWidget>

#include "CInitProperties.h"

class CConnectionPage : public QWidget {
 public:
  using QWidget::QWidget;

  // Shows the values of `properties`.
  virtual void Load(const CInitProperties& properties) = 0;
  // Writes the page's values into `properties`; false with `problem` set
  // when a value does not fit its property.
  virtual bool Store(CInitProperties& properties, QString& problem) = 0;
};

// The provider's own page when it has one, else the form of its properties.
CConnectionPage* CreateConnectionPage(REFCLSID provider, QWidget* parent);
