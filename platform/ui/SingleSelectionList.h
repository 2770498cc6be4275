#pragma once
// A list box of one selection that the user cannot empty: once an item is
// selected, a Ctrl+click on it, Ctrl+Space or a click below the last item
// leaves it selected, as the platform's single-selection list boxes do.
// Pages index their arrays with the selection, so an empty one would be -1.
#include <QListWidget>

class SingleSelectionList : public QListWidget {
 public:
  explicit SingleSelectionList(QWidget* parent = nullptr);

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
};
