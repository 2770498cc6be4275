#include "CHeaderCtrl.h"

#include <QHeaderView>

int CHeaderCtrl::GetItemCount() const {
  const auto* header = qobject_cast<const QHeaderView*>(m_widget.data());
  return header ? header->count() : -1;
}
