#include "CListCaret.h"

#include <QPalette>
#include <QWidget>

#include "CListCtrl.h"
#include "ShellServices.h"

CListCaret::CListCaret() {
  // Visibility changes are applied once the current event is done, so a
  // hide and show inside one paint never makes the list paint again.
  m_apply.setSingleShot(true);
  m_apply.setInterval(0);
  QObject::connect(&m_apply, &QTimer::timeout, [this] { Apply(); });
  QObject::connect(&m_blink, &QTimer::timeout, [this] {
    m_blinkOn = !m_blinkOn;
    Apply();
  });
}

CListCaret::~CListCaret() { DestroyCaret(); }

BOOL CListCaret::CreateSolidCaret(CListCtrl* list, int width, int height) {
  DestroyCaret();
  if (!list || !list->View() || width <= 0 || height <= 0) return FALSE;
  m_list = list;
  m_width = width;
  m_height = height;
  m_hideCount = 1;
  auto* line = new QWidget(list->View()->viewport());
  line->setAttribute(Qt::WA_TransparentForMouseEvents);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, Qt::black);
  line->setPalette(palette);
  line->hide();
  m_line = line;
  SetCaretPos(m_position.x, m_position.y);
  return TRUE;
}

BOOL CListCaret::DestroyCaret() {
  m_blink.stop();
  m_apply.stop();
  if (!Exists()) return FALSE;
  delete m_line.data();
  m_line = nullptr;
  m_list = nullptr;
  m_hideCount = 0;
  return TRUE;
}

BOOL CListCaret::ShowCaret() {
  if (!Exists() || m_hideCount == 0) return FALSE;
  if (--m_hideCount == 0) Restart();
  ScheduleApply();
  return TRUE;
}

BOOL CListCaret::HideCaret() {
  if (!Exists()) return FALSE;
  ++m_hideCount;
  ScheduleApply();
  return TRUE;
}

BOOL CListCaret::SetCaretPos(int x, int y) {
  m_position = POINT{x, y};
  if (!Exists() || !m_list->View()) return Exists() ? FALSE : TRUE;
  // The line lives in the rows' area, which starts below the header.
  m_line->setGeometry(x, y - m_list->View()->HeaderHeight(), m_width, m_height);
  if (IsShown()) Restart();
  return TRUE;
}

// A moved or newly shown caret starts in its visible phase.
void CListCaret::Restart() {
  m_blinkOn = true;
  const UINT interval = GetCaretBlinkTime();
  if (interval == INFINITE)
    m_blink.stop();
  else
    m_blink.start(static_cast<int>(interval));
}

void CListCaret::ScheduleApply() {
  if (!m_apply.isActive()) m_apply.start();
}

void CListCaret::Apply() {
  if (!Exists()) return;
  const bool visible = IsShown() && m_blinkOn;
  if (m_line->isHidden() == visible) m_line->setVisible(visible);
  if (!IsShown()) m_blink.stop();
}
