// Shows the wait cursor for as long as the object lives.
#pragma once

class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  // Puts the wait cursor back after something (a message box) replaced it.
  void Restore();
};
