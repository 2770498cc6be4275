#include "SingleSelectionList.h"

SingleSelectionList::SingleSelectionList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

QItemSelectionModel::SelectionFlags SingleSelectionList::selectionCommand(const QModelIndex& index,
                                                                          const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
  if (!selectionModel()->hasSelection()) return flags;
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  if (selectionModel()->isSelected(index) && (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
    return QItemSelectionModel::NoUpdate;
  return flags;
}
