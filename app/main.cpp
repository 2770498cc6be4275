// The program: no arguments, no settings; the application object does it all.
#include <QApplication>

#include "CMainApp.h"

namespace {

// Constructed before main, as the application object always is.
CMainApp theApp;

}  // namespace

int main(int, char** argv) {
  // Only the program's own name reaches the toolkit: the program takes no arguments.
  int argc = 1;
  char* arguments[] = {argv[0], nullptr};
  QApplication application(argc, arguments);
  theApp.InitInstance();
  return 0;
}
