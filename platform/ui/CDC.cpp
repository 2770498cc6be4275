#include "CDC.h"

#include <QPainter>
#include <cstring>
#include <utility>

#include "SysColors.h"

struct CDC::State {
  QPainter* painter = nullptr;
  CPen* pen = GetStockPen(BLACK_PEN);
  CBrush* brush = GetStockBrush(WHITE_BRUSH);
  COLORREF text = RGB(0, 0, 0);
  COLORREF background = RGB(255, 255, 255);
  int bkMode = TRANSPARENT;
  QPoint position;
};

namespace {

QRect ToQRect(LPCRECT r) { return QRect(r->left, r->top, r->right - r->left, r->bottom - r->top); }

// Without DT_NOPREFIX an ampersand marks the next character and "&&" is one
// ampersand; the mark itself is not drawn.
QString WithoutPrefixes(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    else if (text[i] == u'&') continue;
    out += text[i];
  }
  return out;
}

int AlignmentOf(UINT format) {
  int align = (format & DT_RIGHT) ? Qt::AlignRight : (format & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
  if (!(format & DT_SINGLELINE)) return align | Qt::AlignTop | Qt::TextWordWrap;
  align |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
  return align | Qt::TextSingleLine;
}

QPen ToQPen(const CPen* pen) {
  if (!pen || pen->Style() == PS_NULL) return QPen(Qt::NoPen);
  QPen qpen(ToQColor(pen->Color()));
  qpen.setWidth(pen->Width() <= 1 ? 0 : pen->Width());
  if (pen->Style() == PS_DASH) qpen.setStyle(Qt::DashLine);
  if (pen->Style() == PS_DOT) qpen.setStyle(Qt::DotLine);
  return qpen;
}

int Sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

}  // namespace

CDC::CDC() : m_state(std::make_shared<State>()) {}

CDC::CDC(QPainter* painter) : CDC() {
  m_state->painter = painter;
  m_state->text = GetSysColor(COLOR_WINDOWTEXT);
  m_state->background = GetSysColor(COLOR_WINDOW);
}

CDC::~CDC() = default;

BOOL CDC::Attach(HDC hdc) {
  if (!hdc) return FALSE;
  m_state = FromHandle(hdc)->m_state;
  return TRUE;
}

HDC CDC::Detach() {
  m_state = std::make_shared<State>();
  return nullptr;
}

QPainter* CDC::Painter() const { return m_state->painter; }

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
  if (!Painter() || !rect || !brush || brush->IsNull()) return;
  Painter()->fillRect(ToQRect(rect), ToQColor(brush->Color()));
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
  if (!Painter() || !rect) return;
  Painter()->fillRect(ToQRect(rect), ToQColor(color));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  const RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, color);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush) {
  if (!Painter() || !rect || !brush || brush->IsNull()) return;
  const QRect r = ToQRect(rect);
  if (r.isEmpty()) return;
  const QColor color = ToQColor(brush->Color());
  Painter()->fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
  Painter()->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
  Painter()->fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
  Painter()->fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

void CDC::DrawFocusRect(LPCRECT rect) {
  if (!Painter() || !rect) return;
  const QRect r = ToQRect(rect);
  if (r.isEmpty()) return;
  QPainter* p = Painter();
  p->save();
  p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  QPen dots(Qt::white);
  dots.setWidth(0);
  dots.setDashPattern({1.0, 1.0});
  p->setPen(dots);
  p->setBrush(Qt::NoBrush);
  p->drawRect(r.adjusted(0, 0, -1, -1));
  p->restore();
}

int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
  if (!Painter() || !text || !rect) return 0;
  const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
  QString value = QString::fromUtf8(text, static_cast<qsizetype>(length));
  if (!(format & DT_NOPREFIX)) value = WithoutPrefixes(value);
  QPainter* p = Painter();
  const QFontMetrics metrics = p->fontMetrics();
  QRect area = ToQRect(rect);
  if (format & DT_END_ELLIPSIS) value = metrics.elidedText(value, Qt::ElideRight, area.width());
  const int align = AlignmentOf(format);
  if (format & DT_CALCRECT) {
    const QRect needed = metrics.boundingRect(QRect(area.left(), area.top(), (format & DT_SINGLELINE) ? 1 << 20 : area.width(), 1 << 20),
                                              align & ~(Qt::AlignVCenter | Qt::AlignBottom), value);
    rect->right = rect->left + needed.width();
    rect->bottom = rect->top + needed.height();
    return needed.height();
  }
  p->save();
  if (!(format & DT_NOCLIP)) p->setClipRect(area, Qt::IntersectClip);
  if (m_state->bkMode == OPAQUE)
    p->fillRect(metrics.boundingRect(area, align, value).intersected(area), ToQColor(m_state->background));
  p->setPen(ToQColor(m_state->text));
  QRect drawn;
  p->drawText(area, align, value, &drawn);
  p->restore();
  return drawn.height() > 0 ? drawn.height() : metrics.height();
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
  return DrawText(text.GetString(), text.GetLength(), rect, format);
}

CSize CDC::GetTextExtent(LPCSTR text, int count) const {
  if (!Painter() || !text) return CSize(0, 0);
  const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
  const QFontMetrics metrics = Painter()->fontMetrics();
  return CSize(metrics.horizontalAdvance(QString::fromUtf8(text, static_cast<qsizetype>(length))), metrics.height());
}

COLORREF CDC::SetTextColor(COLORREF color) { return std::exchange(m_state->text, color); }
COLORREF CDC::GetTextColor() const { return m_state->text; }
COLORREF CDC::SetBkColor(COLORREF color) { return std::exchange(m_state->background, color); }
COLORREF CDC::GetBkColor() const { return m_state->background; }
int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(m_state->bkMode, mode);
}
int CDC::GetBkMode() const { return m_state->bkMode; }

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen) return nullptr;
  return std::exchange(m_state->pen, pen);
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush) return nullptr;
  return std::exchange(m_state->brush, brush);
}

CPoint CDC::MoveTo(int x, int y) {
  const QPoint old = std::exchange(m_state->position, QPoint(x, y));
  return CPoint(old.x(), old.y());
}

BOOL CDC::LineTo(int x, int y) {
  if (!Painter()) return FALSE;
  const QPoint from = m_state->position;
  m_state->position = QPoint(x, y);
  QPoint to(x, y);
  // The end point is not drawn; for straight lines step back one pixel.
  if (from.x() == x || from.y() == y) to -= QPoint(Sign(x - from.x()), Sign(y - from.y()));
  if (from == QPoint(x, y)) return TRUE;
  Painter()->save();
  Painter()->setRenderHint(QPainter::Antialiasing, false);
  Painter()->setPen(ToQPen(m_state->pen));
  Painter()->drawLine(from, to);
  Painter()->restore();
  return TRUE;
}
