#include "CMenu.h"

#include <QAction>
#include <QMenu>

#include "CWnd.h"

namespace {

CMenu::Chooser& PopupChooser() {
  static CMenu::Chooser chooser;
  return chooser;
}

}  // namespace

BOOL CMenu::CreatePopupMenu() {
  m_items.clear();
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  m_items.clear();
  return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR text) {
  if (flags & MF_POPUP) return FALSE;  // submenus are not used
  m_items.push_back({flags, (flags & MF_SEPARATOR) ? 0 : id, (text && !(flags & MF_SEPARATOR)) ? text : ""});
  return TRUE;
}

CMenu::Item* CMenu::Find(UINT idOrPosition, UINT flags) {
  if (flags & MF_BYPOSITION) return idOrPosition < m_items.size() ? &m_items[idOrPosition] : nullptr;
  for (Item& item : m_items)
    if (!(item.flags & MF_SEPARATOR) && item.id == idOrPosition) return &item;
  return nullptr;
}

UINT CMenu::EnableMenuItem(UINT idOrPosition, UINT enable) {
  Item* item = Find(idOrPosition, enable);
  if (!item) return static_cast<UINT>(-1);
  const UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

UINT CMenu::GetMenuItemID(int position) const {
  if (position < 0 || position >= GetMenuItemCount()) return static_cast<UINT>(-1);
  return static_cast<UINT>(m_items[static_cast<size_t>(position)].id);
}

int CMenu::GetMenuString(UINT idOrPosition, CString& text, UINT flags) const {
  const Item* item = const_cast<CMenu*>(this)->Find(idOrPosition, flags);
  text = item ? CString(item->text) : CString();
  return text.GetLength();
}

CMenu::Chooser CMenu::SetPopupChooser(Chooser chooser) { return std::exchange(PopupChooser(), std::move(chooser)); }

UINT_PTR CMenu::Run(QPoint at) const {
  if (PopupChooser()) return PopupChooser()(*this);
  QMenu menu;
  UINT_PTR chosen = 0;
  for (const Item& item : m_items) {
    if (item.flags & MF_SEPARATOR) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromStdString(item.text));
    action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
    action->setCheckable(item.flags & MF_CHECKED);
    action->setChecked(item.flags & MF_CHECKED);
    const UINT_PTR id = item.id;
    QObject::connect(action, &QAction::triggered, &menu, [&chosen, id] { chosen = id; });
  }
  menu.exec(at);
  return chosen;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) {
  const UINT_PTR chosen = Run(QPoint(x, y));
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && owner && !(flags & TPM_NONOTIFY)) owner->OnCommand(MAKEWPARAM(chosen, 0), 0);
  return chosen != 0;
}
