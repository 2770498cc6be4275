// Watches for the rowset viewers a page opens: once one has loaded it is
// recorded (caption, headings, rows, whether editing is on), `inspect` may
// work on it, and its Close button ends it. Header-only.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "CEnumDialog.h"
#include "ResourceIds.h"

namespace pagetest {

using Rows = std::vector<std::vector<std::string>>;

inline Rows ListRows(CListCtrl& list) {
  Rows rows;
  int columns = 0;
  LVCOLUMN column{};
  column.mask = LVCF_WIDTH;
  while (list.GetColumn(columns, &column)) ++columns;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    rows.emplace_back();
    for (int c = 0; c < columns; ++c) rows.back().push_back(list.GetItemText(row, c).str());
  }
  return rows;
}

inline std::vector<std::string> Headings(CListCtrl& list) {
  std::vector<std::string> headings;
  char text[256];
  for (int i = 0;; ++i) {
    LVCOLUMN column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    if (!list.GetColumn(i, &column)) return headings;
    headings.emplace_back(text);
  }
}

struct SeenViewer {
  std::string caption;
  std::vector<std::string> headings;
  Rows rows;
  bool editing = false;
};

class ViewerWatch {
 public:
  using Inspect = std::function<void(CEnumDialog&)>;
  explicit ViewerWatch(Inspect inspect = {}) : m_inspect(std::move(inspect)) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start();
  }
  std::vector<SeenViewer> seen;

  // The values of column `heading` in viewer `index`.
  std::vector<std::string> Column(size_t index, const std::string& heading) const {
    std::vector<std::string> values;
    const auto& viewer = seen.at(index);
    for (size_t c = 0; c < viewer.headings.size(); ++c)
      if (viewer.headings[c] == heading)
        for (const auto& row : viewer.rows) values.push_back(row[c]);
    return values;
  }

 private:
  void Poll() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible() || window == m_handled) continue;
      auto* viewer = dynamic_cast<CEnumDialog*>(CWnd::FromWidget(window));
      if (!viewer || viewer->IsLoading()) continue;
      m_handled = window;
      CString caption;
      viewer->GetWindowText(caption);
      seen.push_back({caption.str(), Headings(viewer->List()), ListRows(viewer->List()),
                      viewer->List().IsEditingEnabled() != FALSE});
      if (m_inspect) m_inspect(*viewer);
      static_cast<QAbstractButton*>(viewer->ControlById(IDCANCEL))->click();
      return;
    }
  }

  Inspect m_inspect;
  QTimer m_timer;
  QPointer<QWidget> m_handled;
};

}  // namespace pagetest
