// A popup menu as a list of items; shown with TrackPopupMenu.
#pragma once

#include <QPoint>
#include <functional>
#include <string>
#include <vector>

#include "CString.h"
#include "UiDefs.h"

class CWnd;
class QMenu;

class CMenu {
 public:
  struct Item {
    UINT flags = MF_STRING;
    UINT_PTR id = 0;
    std::string text;
  };

  BOOL CreatePopupMenu();
  BOOL DestroyMenu();
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr);
  // Returns the previous state (MF_ENABLED or MF_GRAYED), or -1 for no such item.
  UINT EnableMenuItem(UINT idOrPosition, UINT enable);
  int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
  UINT GetMenuItemID(int position) const;  // 0 for a separator, -1 out of range
  int GetMenuString(UINT idOrPosition, CString& text, UINT flags) const;
  const std::vector<Item>& Items() const { return m_items; }

  // Shows the menu at a screen point and waits for the choice. With
  // TPM_RETURNCMD the chosen id is returned (0 for none); otherwise the
  // choice goes to the owner's OnCommand and the result is TRUE when an
  // item was chosen.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

  // Lets a test choose instead of the user: given the menu about to be
  // shown, returns the chosen id or 0. Returns the previous chooser.
  using Chooser = std::function<UINT_PTR(const CMenu&)>;
  static Chooser SetPopupChooser(Chooser chooser);

 private:
  Item* Find(UINT idOrPosition, UINT flags);
  UINT_PTR Run(QPoint at) const;
  std::vector<Item> m_items;
};
