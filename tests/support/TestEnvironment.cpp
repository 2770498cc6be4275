#include "TestEnvironment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

void PrepareTestEnvironment() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (!runtime || stat(runtime, &st) != 0 || (st.st_mode & 0777) != 0700) {
    std::string dir = "/tmp/ravezov-runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    chmod(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
}

const char* SamplesDir() {
  const char* dir = getenv("RAVEZOV_SAMPLES");
  return dir ? dir : RAVEZOV_DEFAULT_SAMPLES_DIR;
}
