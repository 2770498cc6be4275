#include "MultiRowTabBar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>

MultiRowTabBar::MultiRowTabBar(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void MultiRowTabBar::SetRowWidth(int width) {
  if (width == m_rowWidth) return;
  m_rowWidth = width;
  updateGeometry();
  Relayout();
}

void MultiRowTabBar::AddTab(const QString& text) {
  m_texts.push_back(text);
  updateGeometry();
  Relayout();
}

void MultiRowTabBar::RemoveTab(int index) {
  if (index < 0 || index >= Count()) return;
  m_texts.erase(m_texts.begin() + index);
  if (m_current == index)
    m_current = -1;
  else if (m_current > index)
    --m_current;
  updateGeometry();
  Relayout();
}

QString MultiRowTabBar::TabText(int index) const {
  return index >= 0 && index < Count() ? m_texts[static_cast<size_t>(index)] : QString();
}

void MultiRowTabBar::SetCurrentIndex(int index) {
  if (index < -1 || index >= Count() || index == m_current) return;
  m_current = index;
  Relayout();  // the selected tab's row moves next to the page
}

int MultiRowTabBar::RowOf(int index) const {
  for (size_t row = 0; row < m_rows.size(); ++row)
    if (index >= m_rows[row].first && index < m_rows[row].first + m_rows[row].count) return static_cast<int>(row);
  return -1;
}

int MultiRowTabBar::DisplayRowOf(int index) const {
  const int row = RowOf(index);
  if (row < 0) return -1;
  // Counting up from the page: the selected row, then the rows after it.
  const int rows = RowCount();
  const int selectedRow = std::max(RowOf(m_current), 0);
  return rows - 1 - (row - selectedRow + rows) % rows;
}

QRect MultiRowTabBar::TabRect(int index) const {
  return index >= 0 && index < static_cast<int>(m_rects.size()) ? m_rects[static_cast<size_t>(index)] : QRect();
}

int MultiRowTabBar::TabAt(QPoint position) const {
  // The selected tab is drawn over its neighbours, so it wins a shared edge.
  if (TabRect(m_current).contains(position)) return m_current;
  for (int index = 0; index < static_cast<int>(m_rects.size()); ++index)
    if (m_rects[static_cast<size_t>(index)].contains(position)) return index;
  return -1;
}

QSize MultiRowTabBar::sizeHint() const {
  int widest = 0;
  for (int index = 0; index < Count(); ++index) widest = std::max(widest, TabSize(index).width());
  const int width = std::max(m_rowWidth, widest);
  return {width, static_cast<int>(BreakIntoRows(width).size()) * RowHeight()};
}

QStyleOptionTab MultiRowTabBar::TabOption(int index) const {
  QStyleOptionTab option;
  option.initFrom(this);
  option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
  option.shape = QTabBar::RoundedNorth;
  option.text = TabText(index);
  option.rect = TabRect(index);
  if (index == m_current) option.state |= QStyle::State_Selected;
  const int row = RowOf(index);
  if (row < 0) return option;
  const Row& span = m_rows[static_cast<size_t>(row)];
  const bool first = index == span.first;
  const bool last = index == span.first + span.count - 1;
  option.position = first && last ? QStyleOptionTab::OnlyOneTab
                    : first       ? QStyleOptionTab::Beginning
                    : last        ? QStyleOptionTab::End
                                  : QStyleOptionTab::Middle;
  option.selectedPosition = !last && index + 1 == m_current    ? QStyleOptionTab::NextIsSelected
                            : !first && index - 1 == m_current ? QStyleOptionTab::PreviousIsSelected
                                                               : QStyleOptionTab::NotAdjacent;
  return option;
}

QSize MultiRowTabBar::TabSize(int index) const {
  QStyleOptionTab option;
  option.initFrom(this);
  option.shape = QTabBar::RoundedNorth;
  option.text = TabText(index);
  const int horizontal = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
  const int vertical = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
  const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  return style()->sizeFromContents(QStyle::CT_TabBarTab, &option,
                                   QSize(text.width() + horizontal, fontMetrics().height() + vertical), this);
}

int MultiRowTabBar::RowHeight() const {
  int height = 0;
  for (int index = 0; index < Count(); ++index) height = std::max(height, TabSize(index).height());
  return height;
}

std::vector<MultiRowTabBar::Row> MultiRowTabBar::BreakIntoRows(int width) const {
  std::vector<Row> rows;
  int used = 0;
  for (int index = 0; index < Count(); ++index) {
    const int tab = TabSize(index).width();
    if (rows.empty() || used + tab > width) {
      rows.push_back({index, 0});
      used = 0;
    }
    ++rows.back().count;
    used += tab;
  }
  return rows;
}

void MultiRowTabBar::Relayout() {
  const int width = std::max(this->width(), 1);
  m_rows = BreakIntoRows(width);
  m_rects.assign(m_texts.size(), QRect());
  const int rowHeight = RowHeight();
  // Rows hug the bottom edge, next to the page, should the bar be taller.
  const int top = std::max(0, height() - RowCount() * rowHeight);
  const bool justify = RowCount() > 1;
  for (const Row& row : m_rows) {
    int natural = 0;
    for (int index = row.first; index < row.first + row.count; ++index) natural += TabSize(index).width();
    const int spare = justify ? std::max(0, width - natural) : 0;
    const int y = top + DisplayRowOf(row.first) * rowHeight;
    int x = 0;
    for (int k = 0; k < row.count; ++k) {
      const int index = row.first + k;
      // Spreads the spare pixels so that the row ends exactly at the edge.
      const int extra = spare * (k + 1) / row.count - spare * k / row.count;
      const int tabWidth = TabSize(index).width() + extra;
      m_rects[static_cast<size_t>(index)] = QRect(x, y, tabWidth, rowHeight);
      x += tabWidth;
    }
  }
  update();
}

void MultiRowTabBar::Choose(int index) {
  if (index < 0 || index >= Count() || index == m_current) return;
  if (m_chooser)
    m_chooser(index);
  else
    SetCurrentIndex(index);
}

void MultiRowTabBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabBarBase base;
  base.initFrom(this);
  base.shape = QTabBar::RoundedNorth;
  base.rect = rect();
  base.rect.setTop(height() - style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this));
  base.selectedTabRect = TabRect(m_current);
  for (const QRect& each : m_rects) base.tabBarRect |= each;
  painter.drawPrimitive(QStyle::PE_FrameTabBarBase, base);
  // The selected tab last, as it overlaps its neighbours.
  for (int index = 0; index < Count(); ++index)
    if (index != m_current) painter.drawControl(QStyle::CE_TabBarTab, TabOption(index));
  if (m_current < 0) return;
  painter.drawControl(QStyle::CE_TabBarTab, TabOption(m_current));
  if (!hasFocus()) return;
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.rect = TabRect(m_current).adjusted(3, 3, -3, -3);
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

void MultiRowTabBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  Choose(TabAt(event->position().toPoint()));
}

void MultiRowTabBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: return Choose(m_current - 1);
    case Qt::Key_Right: return Choose(m_current + 1);
    case Qt::Key_Home: return Choose(0);
    case Qt::Key_End: return Choose(Count() - 1);
    default: return QWidget::keyPressEvent(event);
  }
}

void MultiRowTabBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

void MultiRowTabBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    updateGeometry();
    Relayout();
  }
}
