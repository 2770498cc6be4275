// The application object: COM for the process's lifetime, and the main
// sheet run modally.
#pragma once

#include "wtypes.h"

class CMainApp {
 public:
  CMainApp();   // initializes COM
  ~CMainApp();  // uninitializes COM, after every OLE DB object is gone
  CMainApp(const CMainApp&) = delete;
  CMainApp& operator=(const CMainApp&) = delete;

  // Builds the sheet, runs it and destroys it. Always FALSE: no message
  // loop follows, the program ends.
  BOOL InitInstance();
};
