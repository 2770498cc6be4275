// The tabs of a property sheet: as many rows as the texts need within the
// sheet's width, each row stretched to the full width when there are
// several, and the row holding the selected tab always drawn last, next to
// the page; the other rows keep their cyclic order above it.
//
// The bar never changes the selection on its own: a click or an arrow key
// asks the owner through the chooser, and the owner calls SetCurrentIndex
// once the page change is allowed.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QStyleOptionTab;

class MultiRowTabBar : public QWidget {
 public:
  using Chooser = std::function<void(int index)>;

  explicit MultiRowTabBar(QWidget* parent = nullptr);

  void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }
  // The width the rows are broken for; the bar asks for at least this, or
  // for its widest tab when that is wider.
  void SetRowWidth(int width);

  void AddTab(const QString& text);
  void RemoveTab(int index);
  int Count() const { return static_cast<int>(m_texts.size()); }
  QString TabText(int index) const;
  int CurrentIndex() const { return m_current; }
  void SetCurrentIndex(int index);

  // Geometry for the bar's present width, in the bar's coordinates.
  int RowCount() const { return static_cast<int>(m_rows.size()); }
  int RowOf(int index) const;         // 0 is the first row of tabs in order
  int DisplayRowOf(int index) const;  // 0 is the top row on screen
  QRect TabRect(int index) const;     // empty for a bad index
  int TabAt(QPoint position) const;   // -1 off the tabs

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct Row {
    int first = 0;
    int count = 0;
  };

  QSize TabSize(int index) const;
  int RowHeight() const;
  std::vector<Row> BreakIntoRows(int width) const;
  void Relayout();
  void Choose(int index);
  QStyleOptionTab TabOption(int index) const;

  std::vector<QString> m_texts;
  std::vector<Row> m_rows;
  std::vector<QRect> m_rects;
  Chooser m_chooser;
  int m_current = -1;
  int m_rowWidth = 0;
};
