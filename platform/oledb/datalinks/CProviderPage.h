// The "Provider" tab: the providers of the root enumerator and "Next >>".
#pragma once

#include <QWidget>
#include <functional>

#include "CProviderCatalog.h"

class QListWidget;
class QPushButton;

class CProviderPage : public QWidget {
 public:
  explicit CProviderPage(QWidget* parent = nullptr);

  void Fill(const CProviderCatalog& catalog, int selected);
  int Selected() const;
  void OnSelectionChanged(std::function<void(int row)> handler);
  void OnNext(std::function<void()> handler);

 private:
  QListWidget* m_list = nullptr;
  QPushButton* m_next = nullptr;
};
